#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests, in one folder, reachable only through a Unix
# socket in that folder (no TCP).
#
#   pg-test-server.sh start DIR   initialise (first time) and start the server, create the login
#   pg-test-server.sh env DIR     print the exports the tests read (VANTREX_PG_*)
#   pg-test-server.sh stop DIR    stop the server and remove DIR
#
# Idempotent and quiet: start on a running server and stop on a missing one do nothing. The
# server runs as the unprivileged user "postgres" when started by root. The superuser "postgres"
# logs in without a password (trust, socket only); the test login "vantrex" (CREATEDB) needs
# its password (scram-sha-256), which is generated at the first start and kept in DIR; the
# login "vantrex_reader" (same password) has no rights of its own, for tests of read-only logins.
set -euo pipefail

usage() {
    echo "usage: $0 start|stop|env DIR" >&2
    exit 2
}
[[ $# -eq 2 ]] || usage
command=$1
dir=$2
[[ -n $dir ]] || usage
if [[ $command == start ]]; then
    mkdir -p "$dir"
fi
if [[ -d $dir ]]; then
    dir=$(cd "$dir" && pwd -P)
fi
# The server's owner may not be allowed into the caller's folder.
cd /

role=vantrex
data=$dir/data
log=$dir/server.log
password_file=$dir/test-password

find_bin() {
    local candidate
    for candidate in /usr/lib/postgresql/15/bin $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -rV); do
        if [[ -x $candidate/pg_ctl ]]; then
            echo "$candidate"
            return
        fi
    done
    echo "pg-test-server: no PostgreSQL server programs found under /usr/lib/postgresql" >&2
    exit 1
}

# Runs a command as the server's owner: "postgres" when we are root, else ourselves.
as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

running() {
    [[ -f $data/PG_VERSION ]] && as_owner "$bin/pg_ctl" -D "$data" status >/dev/null 2>&1
}

fail() {
    echo "pg-test-server: $1" >&2
    [[ -f $log ]] && tail -n 20 "$log" >&2
    exit 1
}

superuser_sql() {
    as_owner "$bin/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -U postgres -d postgres "$@"
}

initialise() {
    if [[ $(id -u) -eq 0 ]]; then
        chown postgres: "$dir"
    fi
    chmod 755 "$dir"
    as_owner test -x "$dir" ||
        fail "user postgres cannot reach $dir: its parent folders must be searchable (chmod o+x)"
    if [[ ! -s $password_file ]]; then
        (umask 077 && head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' >"$password_file")
    fi
    if [[ $(id -u) -eq 0 ]]; then
        chown postgres: "$password_file"
    fi
    if [[ ! -f $data/PG_VERSION ]]; then
        as_owner "$bin/initdb" -D "$data" -U postgres --locale=C --encoding=UTF8 \
            --auth-local=trust --auth-host=reject >"$dir/initdb.log" 2>&1 ||
            { cat "$dir/initdb.log" >&2; fail "initdb failed"; }
        as_owner tee "$data/pg_hba.conf" >/dev/null <<EOF
# Socket only: the superuser without a password, every other login with its password.
local all postgres trust
local all all scram-sha-256
EOF
        as_owner tee -a "$data/postgresql.conf" >/dev/null <<EOF
listen_addresses = ''
unix_socket_directories = '$dir'
password_encryption = 'scram-sha-256'
max_connections = 50
shared_buffers = 16MB
fsync = off
synchronous_commit = off
full_page_writes = off
EOF
    fi
}

start() {
    initialise
    if ! running; then
        as_owner "$bin/pg_ctl" -D "$data" -l "$log" -w -t 60 start >/dev/null 2>&1 ||
            fail "the server did not start"
    fi
    local ready=no
    for _ in $(seq 1 60); do
        if as_owner "$bin/pg_isready" -q -h "$dir" -d postgres -U postgres; then
            ready=yes
            break
        fi
        sleep 0.5
    done
    [[ $ready == yes ]] || fail "the server does not answer"
    local password
    password=$(cat "$password_file")
    # The password travels on stdin, never on a command line.
    superuser_sql >/dev/null <<EOF || fail "cannot create the login $role"
SELECT 'CREATE ROLE $role LOGIN' WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '$role')
\gexec
ALTER ROLE $role LOGIN CREATEDB PASSWORD '$password';
SELECT 'CREATE ROLE ${role}_reader LOGIN' WHERE NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '${role}_reader')
\gexec
ALTER ROLE ${role}_reader LOGIN NOCREATEDB PASSWORD '$password';
EOF
}

stop() {
    if [[ -d $dir ]]; then
        if running; then
            as_owner "$bin/pg_ctl" -D "$data" -m fast -w -t 60 stop >/dev/null 2>&1 ||
                fail "the server did not stop"
        fi
        rm -rf "$dir"
    fi
}

print_env() {
    [[ -s $password_file ]] || fail "no test server in $dir (run: $0 start $dir)"
    printf "export VANTREX_PG_SERVER='postgresql://localhost?host=%s'\n" "$dir"
    printf "export VANTREX_PG_USER='%s'\n" "$role"
    printf "export VANTREX_PG_PASSWORD='%s'\n" "$(cat "$password_file")"
}

bin=$(find_bin)
case $command in
start) start ;;
stop) stop ;;
env) print_env ;;
*) usage ;;
esac
