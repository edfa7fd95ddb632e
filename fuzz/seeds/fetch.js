fetch("https://www.example.cn/api", {
  "headers": {
    "accept": "*/*",
    "sec-ch-ua": "\"Chromium\";v=\"131\"",
    "x-name": "\u5f20\u4e09 \ud83d\ude00"
  },
  "body": "{\"q\":\"😀\"}",
  "method": "POST",
  "credentials": "include"
});
