# Sourced by bench/run.sh --compare: times 3 pairs of the report and the bare aggregate
# (bench/aggregate.sql) on the generated store, and prints both medians and their ratio.
# Uses run.sh's root, engine, work, range, password, wall_seconds and run_report.

# "START=12/6/2025|END=12/5/2026" → the range's first or last day as yyyymmdd.
range_day() {
    local part
    part=$(tr '|' '\n' <<<"$range" | sed -n "s/^$1=//p")
    date -d "$part" +%Y%m%d
}

# Writes $work/aggregate.sh: the aggregate of the range with the store's table names, its rows
# to $work/aggregate.out. The password reaches psql through its environment only.
write_aggregate() {
    local sql
    sql=$(sed -e "s/HISTORY/POHistory1/; s/INVENTORY/invt1/" \
        -e "s/'FIRST'/'$(range_day START)'/; s/'LAST'/'$(range_day END)'/" \
        "$root/bench/aggregate.sql")
    printf '%s\n' "$sql" >"$work/aggregate.sql"
    if [[ $engine == sqlite ]]; then
        printf 'sqlite3 %q <%q >%q\n' "$work/data/JOV.sqlite" "$work/aggregate.sql" \
            "$work/aggregate.out" >"$work/aggregate.sh"
    else
        printf 'psql -X -q -A -t -v ON_ERROR_STOP=1 %q -f %q >%q\n' \
            "host=$work/pg dbname=JOV user=$VANTREX_PG_USER" "$work/aggregate.sql" \
            "$work/aggregate.out" >"$work/aggregate.sh"
    fi
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

compare_runs() {
    local reports=() aggregates=()
    write_aggregate
    for pair in 1 2 3; do
        run_report "received$pair" "$range" >"$work/report$pair.figures"
        reports+=("$(wall_seconds "$work/received$pair.time")")
        PGPASSWORD=$password /usr/bin/time -v -o "$work/aggregate$pair.time" \
            bash "$work/aggregate.sh" || { echo "run.sh: the aggregate failed" >&2; exit 1; }
        aggregates+=("$(wall_seconds "$work/aggregate$pair.time")")
        echo "pair $pair: report ${reports[-1]} s, aggregate ${aggregates[-1]} s" \
            "($(wc -l <"$work/aggregate.out") orders)"
    done
    local report aggregate
    report=$(printf '%s\n' "${reports[@]}" | median)
    aggregate=$(printf '%s\n' "${aggregates[@]}" | median)
    cat "$work/report1.figures"
    printf '%-22s %s\n' \
        "report (median of 3)" "$report s" \
        "aggregate (median)" "$aggregate s" \
        "report / aggregate" "$(awk -v r="$report" -v a="$aggregate" 'BEGIN { printf "%.1f", r / a }')"
}
