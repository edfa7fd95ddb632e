curl 'https://example.com/api/list?page=2' \
  -H 'accept: application/json, text/plain, */*' \
  -H 'accept-language: zh-CN,zh;q=0.9' \
  -b 'sid=abc123; theme=dark; 名=值' \
  -H 'user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)' \
  --compressed
