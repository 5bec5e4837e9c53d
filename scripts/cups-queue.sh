#!/usr/bin/env bash
# A print queue of our own for the printing tests: a private print server (cupsd) that listens
# only on a local socket in FOLDER and keeps everything there, with one raw queue whose back end
# writes each job as it was sent (a PDF) to FOLDER/out/job-N.pdf, whole or not at all.
#
#   scripts/cups-queue.sh start FOLDER   # starts the server and makes the queue
#   scripts/cups-queue.sh stop FOLDER    # stops the server
#
# Clients reach it with CUPS_SERVER=FOLDER/cups.sock; the queue is QV_TEST_PRINTER. Where the
# server is not installed or does not start, `start` says so and exits 0 without a socket; the
# tests that need the queue then skip.
set -uo pipefail

queue=QV_TEST_PRINTER
action=${1:-}
folder=${2:-}
if [ -z "$action" ] || [ -z "$folder" ]; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
fi
sock=$folder/cups.sock

stop() {
  if [ -f "$folder/cupsd.pid" ]; then
    local pid
    pid=$(cat "$folder/cupsd.pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    rm -f "$folder/cupsd.pid"
  fi
  rm -f "$sock"
}

skip() {
  echo "cups-queue: $* - the tests that print through a real queue will skip"
  stop
  exit 0
}

if [ "$action" = stop ]; then
  stop
  exit 0
fi
[ "$action" = start ] || { echo "unknown action $action" >&2; exit 2; }

cupsd=$(command -v cupsd || echo /usr/sbin/cupsd)
lpadmin=$(command -v lpadmin || echo /usr/sbin/lpadmin)
[ -x "$cupsd" ] || skip "no cupsd (package cups-daemon)"
[ -x "$lpadmin" ] || skip "no lpadmin (package cups-client)"

stop
rm -rf "$folder"
mkdir -p "$folder"/{spool,tmp,cache,state,log,out,conf/ppd,bin/backend}
chmod 0755 "$folder" "$folder/out"
chmod 1777 "$folder/tmp"
user=$(id -un)
group=$(id -gn)
if [ "$(id -u)" -eq 0 ]; then
  # The server runs its helpers as this user; the output folder must take their files.
  user=lp
  group=lp
  chown lp:lp "$folder/out" 2>/dev/null || chmod 0777 "$folder/out"
fi

# The server's programs: the system's, and our back end beside its own.
for part in /usr/lib/cups/*; do
  [ "$(basename "$part")" = backend ] || ln -s "$part" "$folder/bin/"
done
backend=$folder/bin/backend/qvfile
{
  echo '#!/bin/sh'
  echo '# Without arguments a back end lists its devices; with them it prints job $1 (file $6, or stdin).'
  echo 'if [ $# -eq 0 ]; then'
  echo '  echo "direct qvfile \"Unknown\" \"Files of the printing tests\""'
  echo '  exit 0'
  echo 'fi'
  echo 'umask 022'
  echo 'out=${DEVICE_URI#qvfile:}'
  echo 'part="$out/.job-$1.part"'
  echo 'if [ -n "${6:-}" ]; then cat "$6" >"$part"; else cat >"$part"; fi || exit 1'
  echo 'mv "$part" "$out/job-$1.pdf"'
} >"$backend"
chmod 0755 "$backend"

cat >"$folder/cupsd.conf" <<EOF
Listen $sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 0
PreserveJobFiles No
PreserveJobHistory Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
cat >"$folder/cups-files.conf" <<EOF
ServerRoot $folder/conf
RequestRoot $folder/spool
TempDir $folder/tmp
CacheDir $folder/cache
StateDir $folder/state
AccessLog $folder/log/access_log
ErrorLog $folder/log/error_log
PageLog $folder/log/page_log
ServerBin $folder/bin
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
User $user
Group $group
SystemGroup $(id -gn)
EOF

setsid "$cupsd" -f -c "$folder/cupsd.conf" -s "$folder/cups-files.conf" >"$folder/log/cupsd.out" 2>&1 </dev/null &
echo $! >"$folder/cupsd.pid"
for _ in $(seq 100); do
  [ -S "$sock" ] && break
  kill -0 "$(cat "$folder/cupsd.pid")" 2>/dev/null || break
  sleep 0.1
done
[ -S "$sock" ] || skip "the print server did not start ($(tail -n 3 "$folder/log/cupsd.out" "$folder/log/error_log" 2>/dev/null | tr '\n' ' '))"

export CUPS_SERVER=$sock
# A raw queue: what the job sends reaches the back end unchanged.
if ! "$lpadmin" -p "$queue" -E -v "qvfile:$folder/out" -m raw -o printer-is-shared=false \
    >"$folder/log/lpadmin.out" 2>&1; then
  skip "the queue could not be made ($(tr '\n' ' ' <"$folder/log/lpadmin.out"))"
fi
"$lpadmin" -d "$queue" >/dev/null 2>&1 || true
echo "cups-queue: print server on $sock, queue $queue writing to $folder/out/"
