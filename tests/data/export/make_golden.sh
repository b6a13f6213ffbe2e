#!/usr/bin/env bash
# The export tests compare whole files in the program's own form:
# windows-1251 with CR LF. Those are awkward to edit, so each one is kept as
# a hand-written UTF-8 draft with LF line ends (NAME.utf8) and this script
# turns every draft into NAME. It only converts the encoding and the line
# ends; it never runs the exporter, so the expected files stay hand-made.
#
# Run it after editing a draft and commit both files. Drafts keep their
# trailing blanks on purpose (several captions end in one): keep them when
# editing.
set -euo pipefail
cd "$(dirname "$0")"

find . -name '*.utf8' -print0 | while IFS= read -r -d '' draft; do
  target="${draft%.utf8}"
  iconv -f UTF-8 -t WINDOWS-1251 "$draft" | sed 's/$/\r/' > "$target.tmp"
  mv "$target.tmp" "$target"
  echo "$target"
done
