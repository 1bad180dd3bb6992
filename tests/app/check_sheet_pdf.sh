#!/usr/bin/env bash
# Reads what the report sheet tests printed on the PDF queue (the folder's sheets.txt, one job a line:
#   file|text|text|...
# ) and checks that the text of each PDF (pdftotext, blanks and line breaks taken as one blank) holds every text.
# The printer's fonts name the hyphen glyph "hyphen", which pdftotext reads as a soft hyphen: it counts as "-".
set -uo pipefail
dir=$1
manifest="$dir/sheets.txt"
if [ ! -s "$manifest" ]; then
  echo "no sheets printed to check"
  exit 0
fi
command -v pdftotext >/dev/null || { echo "missing pdftotext"; exit 1; }
passed=0 failed=0
while IFS= read -r line; do
  line=${line%$'\r'}  # written on the Windows side
  IFS='|' read -ra parts <<< "$line"
  file=${parts[0]:-}
  [ -n "$file" ] || continue
  text=$(pdftotext "$dir/$file" - 2>/dev/null | sed 's/\xC2\xAD/-/g' | tr -s ' \n\f' '   ')
  if [ -z "$text" ]; then
    echo "FAIL $file: no text"
    failed=$((failed + 1))
    continue
  fi
  ok=1
  for want in "${parts[@]:1}"; do
    [[ "$text" == *"$want"* ]] || { echo "FAIL $file: lacks \"$want\" in: ${text:0:400}"; ok=0; }
  done
  if [ $ok = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done < "$manifest"
echo "$passed passed, $failed failed"
[ $failed = 0 ]
