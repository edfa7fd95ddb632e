curl 'https://e.com/' -H $'Cookie: n=caf\xe9; z=\xc3\xa9; nick=\u5f20\u4e09; e=\ud83d\ude00' -H 'Accept: */*'
