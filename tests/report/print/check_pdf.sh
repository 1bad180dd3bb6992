#!/usr/bin/env bash
# Reads what the printing tests printed (the folder's manifest.txt, one job a line:
#   file|sheets|WxH=pages,WxH=pages,...   sizes in points, pages the numbers whose "Sayfa <n>" text the sheet holds)
# and checks each job as a PDF: PostScript files are turned into PDF by ps2pdf, then pdfinfo gives the pages and
# their sizes and pdftotext each page's text, which must hold its pages' numbers and their Turkish letters.
set -uo pipefail
dir=$1
manifest="$dir/manifest.txt"
if [ ! -s "$manifest" ]; then
  echo "no print jobs to check"
  echo "0 passed, 0 failed"
  exit 0
fi
for tool in ps2pdf pdfinfo pdftotext; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
turkish="Öğrenci Işık Çağla Şükrü Gülşen İpek Ömer"
passed=0 failed=0
fail() { echo "FAIL $1: $2"; failed=$((failed + 1)); }
while IFS= read -r line; do
  line=${line%$'\r'}  # written on the Windows side
  IFS='|' read -r file count sheets <<< "$line"
  [ -n "$file" ] || continue
  src="$dir/$file"
  pdf="$src"
  if [[ "$file" == *.ps ]]; then
    pdf="$dir/${file%.ps}.pdf"
    ps2pdf "$src" "$pdf" 2>/dev/null || { fail "$file" "ps2pdf failed"; continue; }
  fi
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
  [ "$pages" = "$count" ] || { fail "$file" "$pages pages, expected $count"; continue; }
  ok=1
  i=0
  IFS=',' read -ra list <<< "$sheets"
  for sheet in "${list[@]}"; do
    i=$((i + 1))
    size=${sheet%%=*}
    want=${sheet#*=}
    got=$(pdfinfo -f $i -l $i "$pdf" | awk -v p=$i '$1=="Page" && $2==p && $3=="size:" {printf "%dx%d", $4+0.5, $6+0.5}')
    [ "$got" = "$size" ] || { fail "$file" "page $i is $got, expected $size"; ok=0; }
    text=$(pdftotext -f $i -l $i "$pdf" - 2>/dev/null)
    if [ -z "$want" ]; then
      [[ "$text" != *"Sayfa "* ]] || { fail "$file" "page $i should hold no page text"; ok=0; }
    else
      IFS='+' read -ra nums <<< "$want"
      for n in "${nums[@]}"; do
        [[ "$text" == *"Sayfa $n $turkish"* ]] || { fail "$file" "page $i lacks \"Sayfa $n ...\": $text"; ok=0; }
      done
    fi
  done
  [ $ok = 1 ] && passed=$((passed + 1))
done < "$manifest"
echo "$passed passed, $failed failed"
[ $failed = 0 ]
