#!/usr/bin/env bash
# postgres_cluster.sh start|stop STATE_FILE: a throwaway PostgreSQL cluster for the server tests, in a
# temporary folder, listening only on a Unix socket in that folder, with one role "scores" that needs
# no password there. start writes the folder's path to STATE_FILE; stop stops the cluster, removes the
# folder and STATE_FILE. initdb refuses to run as root: as root the folder goes to the postgres user
# and the cluster's tools run as that user.
set -euo pipefail

action=${1:?usage: postgres_cluster.sh start|stop STATE_FILE}
state_file=${2:?usage: postgres_cluster.sh start|stop STATE_FILE}

bin_dir=$(pg_config --bindir 2>/dev/null || true)
[ -x "$bin_dir/initdb" ] || bin_dir=/usr/lib/postgresql/15/bin
[ -x "$bin_dir/initdb" ] || { echo "postgres_cluster.sh: no initdb (install the postgresql package)" >&2; exit 1; }

as_owner=()
[ "$(id -u)" -eq 0 ] && as_owner=(runuser -u postgres --)

stop_cluster() {
    local dir=$1
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_owner[@]}" "$bin_dir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
    fi
    rm -rf "$dir"
}

case $action in
start)
    # A cluster left by a run that was interrupted goes first.
    [ -f "$state_file" ] && stop_cluster "$(cat "$state_file")"
    dir=$(mktemp -d /tmp/vorpaline-pg.XXXXXX)
    chmod 755 "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    if ! "${as_owner[@]}" "$bin_dir/initdb" -D "$dir/data" -U scores -A trust -E UTF8 --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        rm -rf "$dir"
        exit 1
    fi
    if ! "${as_owner[@]}" "$bin_dir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c max_connections=200" start >/dev/null; then
        cat "$dir/server.log" >&2
        rm -rf "$dir"
        exit 1
    fi
    echo "$dir" >"$state_file"
    echo "PostgreSQL $("$bin_dir/postgres" --version | awk '{print $3}') on the socket in $dir"
    ;;
stop)
    [ -f "$state_file" ] || exit 0
    stop_cluster "$(cat "$state_file")"
    rm -f "$state_file"
    ;;
*)
    echo "usage: postgres_cluster.sh start|stop STATE_FILE" >&2
    exit 2
    ;;
esac
