#!/bin/sh
# Writes what the tag window's test compares with, from the TIFF tools (libtiff-tools), for every
# TIFF file in this folder:
#   tags.expected     one line per tag of page 1 as tiffdump lists it:
#                     file|tag|type|count|cut|values   (cut 1: tiffdump showed only the first values;
#                     numbers in decimal, one space apart; ASCII as its text)
#   pages.expected    file|pages|width|length|bits|samples|rowsPerStrip|xres|yres, as tiffinfo shows
#                     them for page 1 (a missing value is left empty)
# Run it from this folder after adding a file; the test itself never runs the tools.
set -e
LC_ALL=C
export LC_ALL
: > tags.expected
: > pages.expected
for f in *.tif *.TIF *.tiff; do
  [ -f "$f" ] || continue
  tiffdump "$f" | awk -v file="$f" '
    function hex(s,    i, n) { n = 0; for (i = 3; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1; return n }
    /^Directory / { dir++; next }
    dir != 1 { next }
    # "Name (tag) TYPE (n) count<values>", or "tag (0xhex) TYPE ..." for a tag libtiff has no name for
    /^[^ ]+ \((0x)?[0-9a-f]+\) [A-Z]+ \([0-9]+\) [0-9]+</ {
      line = $0
      if ($1 ~ /^[0-9]+$/) tag = $1
      else { tag = $2; gsub(/[()]/, "", tag) }
      match(line, /[A-Z]+ \([0-9]+\) [0-9]+</); spec = substr(line, RSTART, RLENGTH)
      split(spec, parts, /[ ()<]+/); type = parts[2]; count = parts[3]
      values = substr(line, index(line, "<") + 1); sub(/>$/, "", values)
      cut = 0
      if (values ~ / \.\.\.$/) { cut = 1; sub(/ \.\.\.$/, "", values) }
      if (type == 2) { sub(/(\\0)+$/, "", values) }
      else if (type == 1 || type == 6 || type == 7) {
        n = split(values, v, " "); values = ""
        for (i = 1; i <= n; i++) {
          x = v[i]
          x = x ~ /^0x/ ? hex(x) : x + 0
          if (type == 6 && x > 127) x -= 256
          values = values (i > 1 ? " " : "") x
        }
      }
      print file "|" tag "|" type "|" count "|" cut "|" values >> "tags.expected"
    }'
  tiffinfo "$f" 2>/dev/null | awk -v file="$f" '
    /^=== TIFF directory/ { pages++ }
    pages == 1 && /Image Width:/ { w = $3; l = $6 }
    pages == 1 && /Bits\/Sample:/ { b = $2 }
    pages == 1 && /Samples\/Pixel:/ { s = $2 }
    pages == 1 && /Rows\/Strip:/ { r = $2 }
    pages == 1 && /Resolution:/ { x = $2; sub(/,$/, "", x); y = $3 }
    END { print file "|" pages "|" w "|" l "|" b "|" s "|" r "|" x "|" y >> "pages.expected" }'
done
