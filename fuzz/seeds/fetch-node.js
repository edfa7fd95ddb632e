await fetch("https://www.example.cn/api", {
  "headers": {
    "cookie": "sid=abc; nick=张三",
    "Referer": "https://www.example.cn/",
  },
  "body": null,
  "method": "GET"
});
