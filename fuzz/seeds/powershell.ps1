$session = New-Object Microsoft.PowerShell.Commands.WebRequestSession
$session.UserAgent = "Mozilla/5.0 (Windows NT 10.0; Win64; x64)"
$session.Cookies.Add((New-Object System.Net.Cookie("sid", "s%3Aabc", "/", ".example.cn")))
$session.Cookies.Add((New-Object System.Net.Cookie("nick", "$([char]24352)$([char]19977)", "/", "www.example.cn")))
Invoke-WebRequest -UseBasicParsing -Uri "https://www.example.cn/api?t=1" `
-WebSession $session `
-Headers @{
"authority"="www.example.cn"
  "sec-ch-ua"="`"Google Chrome`";v=`"131`""
  "x-emoji"="$([char]55357)$([char]56832)"
} `
-ContentType "application/json" `
-Body "{`"a`":1}"
