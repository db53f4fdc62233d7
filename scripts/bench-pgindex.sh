#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The archive index on PostgreSQL against its targets, beside the SQLite
# engine in the same run: build speed (pages/s), index size as a share of
# the plain reports, two-word query latency (p50, p95 of 100 queries of words
# of different frequencies) with no updater and with one running, and 20
# readers querying while one updater runs (queries a second, p50, p95,
# failures). A private cluster is started for it (scripts/pg-start.sh) and
# stopped at the end.
#   scripts/bench-pgindex.sh [QRPTOOL] [PAGES] [JOBS]
# Reports are `qrptool demo` reports of 5 to 400 pages, hard links to one
# copy of each size (as LINKS=1 in bench-index.sh); sizes count per link.
# Query latency is the server's time for the engine's own query (the
# function qrp_search that `index query` calls), taken by pgbench: what
# qrptool adds, its start and the snippets, is not in it.
# REPLICATE=K copies the indexed reports K times over on the server (new
# paths and page ids, same text), so that queries and size can be measured
# at a million pages without indexing a million: REPLICATE=500 with 2000
# pages. READERS (20) and DURATION (30 s) shape the concurrent run.
# KEEP=1 leaves the cluster running and names it; REUSE=FOLDER then measures
# the queries again on that cluster's index without building it anew (an
# index of an older schema is migrated first, and the time it took said).
# The cluster gets SHARED_BUFFERS (2GB) and WORK_MEM (16MB), as the README
# advises an administrator; the load average is printed with each figure:
# on a shared machine it is most of the latency.
set -euo pipefail

TOOL=$(realpath "${1:-build-rel/src/tools/qrptool}")
PAGES=${2:-100000}
JOBS=${3:-2}
PGBIN=${QRP_PG_BIN:-/usr/lib/postgresql/15/bin}
cd "$(dirname "$0")/.."
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qrp-pgbench-XXXXXX")
chmod 755 "$WORK"
pg_env=
cleanup() {
    if [[ -n $pg_env && -n ${KEEP:-} ]]; then
        echo "cluster kept: REUSE=$QRP_TEST_PG_DIR; scripts/pg-stop.sh $QRP_TEST_PG_DIR removes it"
    elif [[ -n $pg_env ]]; then
        scripts/pg-stop.sh >/dev/null 2>&1 || true
    fi
    rm -rf "$WORK"
}
trap cleanup EXIT
if [[ -n ${REUSE:-} ]]; then
    export PGHOST=$REUSE PGUSER=qrp_admin
else
    pg_env=$(scripts/pg-start.sh)
    eval "$pg_env"
    export PGHOST=$QRP_TEST_PG_HOST PGUSER=$QRP_TEST_PG_USER
    createdb qrp_bench
fi
URI="postgresql:///qrp_bench?host=$PGHOST&user=$PGUSER"

# Memory for the server, as advised in the README: the default 128 MB of
# shared buffers holds too little of a million pages' index, so each query
# would read its pages from the system's cache anew.
psql -qAt -v ON_ERROR_STOP=1 qrp_bench >/dev/null <<EOF
ALTER SYSTEM SET shared_buffers = '${SHARED_BUFFERS:-2GB}';
ALTER SYSTEM SET work_mem = '${WORK_MEM:-16MB}';
SELECT pg_reload_conf();
EOF
if [[ $(psql -qAtc "SELECT bool_or(pending_restart) FROM pg_settings" qrp_bench) == t ]]; then
    RUN=()
    [[ $(id -u) -ne 0 ]] || RUN=(runuser -u nobody --)
    "${RUN[@]}" "$PGBIN/pg_ctl" -D "$PGHOST/data" -w -s restart >/dev/null
fi
echo "server: shared_buffers $(psql -qAtc 'SHOW shared_buffers' qrp_bench), work_mem $(psql -qAtc 'SHOW work_mem' qrp_bench)"
load() { echo "load $(cut -d' ' -f1-3 /proc/loadavg)"; }

SIZES=(5 12 40 100 400 20 60 250)
make_archive() {
    local dir=$1 want=$2 made=0 i=0
    mkdir -p "$dir" "$WORK/proto"
    while ((made < want)); do
        local n=${SIZES[i % ${#SIZES[@]}]}
        ((n > want - made)) && n=$((want - made))
        mkdir -p "$dir/$((i / 100))"
        local proto="$WORK/proto/$n.qrp"
        [[ -f $proto ]] || "$TOOL" demo "$proto" --pages "$n" >/dev/null
        ln "$proto" "$dir/$((i / 100))/r$i.qrp"
        made=$((made + n))
        i=$((i + 1))
    done
}
seconds() { /usr/bin/time -f "%e" -o "$WORK/time" "$@" >"$WORK/out" 2>"$WORK/err" || true; cat "$WORK/time"; }
rate() { echo "$1 / $2" | bc; }

if [[ -z ${REUSE:-} ]]; then
    make_archive "$WORK/reports" "$PAGES"
    reports=$(du -sbl "$WORK/reports" | cut -f1)
    echo "archive: $PAGES pages, $(find "$WORK/reports" -name '*.qrp' | wc -l) reports, $((reports / 1048576)) MB"

    s=$(seconds "$TOOL" index update --db "$WORK/sqlite.db" "$WORK/reports" --jobs "$JOBS")
    echo "SQLite build:     ${s}s = $(rate "$PAGES" "$s") pages/s ($(cat "$WORK/out"))"
    sqliteBytes=$(du -sb "$WORK/sqlite.db" | cut -f1)
    "$TOOL" index init --db "$URI" >/dev/null
    s=$(seconds "$TOOL" index update --db "$URI" "$WORK/reports" --jobs "$JOBS")
    echo "PostgreSQL build: ${s}s = $(rate "$PAGES" "$s") pages/s ($(cat "$WORK/out"))"
    psql -qAtc "VACUUM ANALYZE" qrp_bench
    pgBytes=$(psql -qAtc "SELECT sum(pg_total_relation_size(c)) FROM unnest(array['qrp_meta','qrp_reports','qrp_pages']::regclass[]) c" qrp_bench)
    echo "index size: SQLite $((sqliteBytes / 1048576)) MB = $(echo "scale=1; 100 * $sqliteBytes / $reports" | bc)% of the reports;" \
         "PostgreSQL $((pgBytes / 1048576)) MB = $(echo "scale=1; 100 * $pgBytes / $reports" | bc)%"
    psql -qAtc "SELECT 'PostgreSQL parts: ' || string_agg(c || ' ' || pg_size_pretty(pg_relation_size(c::regclass)), ', ')
                FROM unnest(array['qrp_pages','qrp_pages_words','qrp_pages_plain','qrp_pages_stems','qrp_pages_report']) c" qrp_bench
    psql -qAtc "SELECT 'TOAST (page text, tsvectors): ' || pg_size_pretty(pg_total_relation_size('qrp_pages') - pg_relation_size('qrp_pages')
                - pg_indexes_size('qrp_pages'))" qrp_bench

    if [[ ${REPLICATE:-1} -gt 1 ]]; then
        start=$(date +%s)
        # Each copy's pages get new ids, and so the blocks of their new ids
        # (qrp_blocks) in place of the original's.
        psql -qAt -v ON_ERROR_STOP=1 qrp_bench >/dev/null <<EOF
SET maintenance_work_mem = '1GB';
DROP INDEX qrp_pages_words, qrp_pages_plain, qrp_pages_stems, qrp_pages_report;
CREATE TEMP TABLE copies AS SELECT r.id AS orig, g FROM qrp_reports r, generate_series(1, ${REPLICATE} - 1) g;
ALTER TABLE copies ADD COLUMN id bigint DEFAULT nextval('qrp_reports_id_seq');
INSERT INTO qrp_reports(id, path, size, mtime, hash, pages)
  SELECT c.id, r.path || convert_to('#' || c.g, 'UTF8'), r.size, r.mtime, r.hash, r.pages FROM copies c JOIN qrp_reports r ON r.id = c.orig;
INSERT INTO qrp_pages(id, report, page, text, words, plain, stems)
  SELECT s.id, s.report, s.page, s.text, ts_delete(s.words, m) || qrp_blocks(s.id),
         ts_delete(s.plain, m) || qrp_blocks(s.id), ts_delete(s.stems, m) || qrp_blocks(s.id)
  FROM (SELECT nextval('qrp_pages_id_seq') AS id, c.id AS report, p.page, p.text, p.words, p.plain, p.stems,
               tsvector_to_array(qrp_blocks(p.id)) AS m
        FROM copies c JOIN qrp_pages p ON p.report = c.orig ORDER BY c.g, p.id) s;
CREATE INDEX qrp_pages_report ON qrp_pages(report);
CREATE INDEX qrp_pages_words ON qrp_pages USING gin(words);
CREATE INDEX qrp_pages_plain ON qrp_pages USING gin(plain);
CREATE INDEX qrp_pages_stems ON qrp_pages USING gin(stems);
VACUUM ANALYZE;
EOF
        reports=$((reports * REPLICATE))
        pgBytes=$(psql -qAtc "SELECT sum(pg_total_relation_size(c)) FROM unnest(array['qrp_meta','qrp_reports','qrp_pages']::regclass[]) c" qrp_bench)
        echo "replicated ${REPLICATE}x on the server in $(($(date +%s) - start))s: $(psql -qAtc 'SELECT count(*) FROM qrp_pages' qrp_bench) pages," \
             "PostgreSQL index $((pgBytes / 1048576)) MB = $(echo "scale=1; 100 * $pgBytes / $reports" | bc)% of the reports"
    fi
fi

if [[ -n ${REUSE:-} ]]; then
    start=$(date +%s.%N)
    "$TOOL" index init --db "$URI" >/dev/null
    echo "index init (migrating an older schema): $(printf %.1f "$(echo "$(date +%s.%N) - $start" | bc)")s," \
         "schema $(psql -qAtc "SELECT value FROM qrp_meta WHERE key = 'schema'" qrp_bench)"
fi

# Two-word queries from rare (0.1% of the pages) to common (all) words of
# the demo reports, as `index query` sends them: the engine's function and
# its window.
WINDOW=$(sed -n 's/^const int ArchiveRankWindow = \([0-9]*\);.*/\1/p' src/archive/archiveengine.h)
QUERIES=("'stf' & '010230'" "'stf' & '002440'" "'genel' & 'toplam'" "'stf' & '000088'" "'tekstil' & 'işiklar'"
         "'çelik' & 'profil'" "'şerit' & 'testere'" "'fatura' & 'ilgaz'" "'alüminyum' & 'profil'" "'soğuk' & 'çekme'")
mkdir -p "$WORK/sql"
[[ -n ${REUSE:-} ]] || echo "pages matching each query, of $(psql -qAtc 'SELECT count(*) FROM qrp_pages' qrp_bench) (window $WINDOW):"
i=0
for q in "${QUERIES[@]}"; do
    echo "SELECT count(*) FROM qrp_search(\$\$$q\$\$, 'words', 20, $WINDOW);" >"$WORK/sql/q$i.sql"
    # Counting reads every match's words: a few minutes at a million pages.
    [[ -n ${REUSE:-} ]] || echo "  $q: $(psql -qAtc "SELECT count(*) FROM qrp_pages WHERE words @@ \$\$$q\$\$::tsquery" qrp_bench)"
    i=$((i + 1))
done
scripts=()
for f in "$WORK"/sql/q*.sql; do scripts+=(-f "$f"); done
percentiles() { # latencies in µs, from pgbench's logs
    cat "$WORK"/logs/pgbench_log.* | awk '{print $3}' | sort -n |
        awk '{a[NR]=$1} END {printf "p50 %.1f ms, p95 %.1f ms, max %.1f ms over %d queries", a[int(NR*0.5)]/1000, a[int(NR*0.95)]/1000, a[NR]/1000, NR}'
}
run_pgbench() { # CLIENTS TIME|-t N
    rm -rf "$WORK/logs"
    mkdir -p "$WORK/logs"
    (cd "$WORK/logs" && pgbench -n -l "$@" "${scripts[@]}" qrp_bench >"$WORK/pgbench.out" 2>&1) || {
        cat "$WORK/pgbench.out" >&2
        return 1
    }
}
failures() { grep -Eo "number of failed transactions: [0-9]+" "$WORK/pgbench.out" | head -1 || echo "failed transactions: not reported"; }
run_pgbench -c 1 -t 100
echo "two-word query, one reader, no updater: $(percentiles), $(failures); $(load)"

# SQLite, as qrptool runs it (its start included), for comparison.
if [[ -z ${REUSE:-} ]]; then
    times=()
    for q in "genel toplam" "tekstil ışıklar" "çelik profil" "şerit testere" "fatura ilgaz"; do
        for _ in 1 2; do times+=("$(seconds "$TOOL" index query --db "$WORK/sqlite.db" "$q" --limit 20)"); done
    done
    echo "SQLite, qrptool index query (start included): median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 5p)s of 10"
fi

# The same with one updater indexing another archive (MORE pages, four times
# PAGES), then the readers while it goes on. It is given only that folder:
# the copies made above are left alone.
make_archive "$WORK/more" "${MORE:-$((PAGES * 4))}"
"$TOOL" index update --db "$URI" "$WORK/more" --jobs "$JOBS" >"$WORK/update.out" 2>&1 &
updater=$!
sleep 2
running() { kill -0 "$updater" 2>/dev/null && echo "updater still running" || echo "updater had finished"; }
run_pgbench -c 1 -t 100
echo "two-word query, one reader, one updater ($(running)): $(percentiles), $(failures); $(load)"
run_pgbench -c "${READERS:-20}" -j 2 -T "${DURATION:-30}"
echo "${READERS:-20} readers, one updater ($(running) at the end): $(grep -Eo 'tps = [0-9.]+' "$WORK/pgbench.out" | head -1) queries/s," \
     "$(percentiles), $(failures); $(load)"
wait "$updater" || true
echo "updater: $(cat "$WORK/update.out")"
