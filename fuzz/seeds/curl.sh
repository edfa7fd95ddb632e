curl 'https://e.com/a?b=1' -H 'Cookie: a=1; b=2' \
  -b $'c=\x41' --data-raw "x=\"y\"" --compressed
