import requests

cookies = {
    'sid': 's%3Aabc',
    "nick": '张三',
}

headers = {
    # 'cookie': 'sid=s%3Aabc',
    'x-escaped': 'tab\there \'q\' \u5f20 \x41 \N{DASH}',
    "x-long": ('a'
               'b'),
}

response = requests.get('https://www.example.cn/api', cookies=cookies, headers=headers)
