#!/usr/bin/env bash
# Drives orvane-admin as an administrator would: exit codes, printed rows and stderr texts.
# Under ORVANE_TEST_BACKEND=postgresql the databases are new databases on the server of
# ORVANE_TEST_PG (as the other test programs decide), dropped again at the end.
set -u
ADMIN="$1"
work=$(mktemp -d)
failures=0
check() { # description, then a command that must succeed
    local what="$1"; shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

backend=$(printf '%s' "${ORVANE_TEST_BACKEND:-}" | tr A-Z a-z)
if [ -n "${ORVANE_TEST_PG:-}" ] && { [ -z "$backend" ] || [ "$backend" = postgresql ] ||
    [ "$backend" = postgres ] || [ "$backend" = pg ]; }; then
    server_dbs=()
    # database VAR NAME: VAR names a database on the test server (init creates it).
    database() {
        local name="cli_$$_$2"
        server_dbs+=("$name")
        case "$ORVANE_TEST_PG" in
        postgres://* | postgresql://*) printf -v "$1" '%s' "${ORVANE_TEST_PG%/*}/$name" ;;
        *) printf -v "$1" '%s dbname=%s' "$ORVANE_TEST_PG" "$name" ;;
        esac
    }
    cleanup() {
        for name in "${server_dbs[@]}"; do
            psql -q "$ORVANE_TEST_PG" -c "DROP DATABASE IF EXISTS \"$name\" WITH (FORCE)" \
                >/dev/null 2>&1
        done
        rm -rf "$work"
    }
else
    database() { printf -v "$1" '%s' "$work/$2.db"; }
    cleanup() { rm -rf "$work"; }
fi
trap cleanup EXIT
database db hr

check "init creates a database" "$ADMIN" init "$db"
check "init refuses an existing file" bash -c "! '$ADMIN' init '$db' 2>/dev/null"
check "the super operator is there" \
    bash -c "[ \"\$('$ADMIN' sql '$db' 'SELECT TOP 1 UserName FROM qp_Users')\" = \"\$(printf 'UserName\nadmin')\" ]"

# The three ways of calling a procedure write the same kind of log line.
"$ADMIN" sql "$db" "EXEC qp_AddSystemLog 'admin', 'by exec', 0, 60" || failures=$((failures + 1))
"$ADMIN" sql "$db" "qp_AddSystemLog 'admin', 'bare ''quoted''', 0, 60" || failures=$((failures + 1))
check "procedure calls logged as text" \
    bash -c "'$ADMIN' sql '$db' 'SELECT lAction FROM qp_Log ORDER BY id' | grep -qx \"bare 'quoted'\""

"$ADMIN" sql "$db" "EXEC qp_AddSystemLog @Content=N'by name', @UserName='admin', @RecentDays=60, @Cleanup=0" ||
    failures=$((failures + 1))
check "a procedure called by parameter names" \
    bash -c "'$ADMIN' sql '$db' 'SELECT lAction FROM qp_Log ORDER BY id' | grep -qx 'by name'"
check "an unknown parameter name is refused" \
    bash -c "'$ADMIN' sql '$db' 'EXEC qp_AddSystemLog @Nope=1' 2>&1 >/dev/null | grep -q '@Nope is not a parameter'"

check "a malformed statement fails" bash -c "! '$ADMIN' sql '$db' 'SELECT FROM WHERE' 2>/dev/null"
check "an unknown procedure names itself" \
    bash -c "'$ADMIN' sql '$db' 'EXEC qp_NoSuch 1' 2>&1 >/dev/null | grep -q qp_NoSuch"
check "a missing table is reported" \
    bash -c "'$ADMIN' sql '$db' 'SELECT * FROM nosuch' 2>&1 >/dev/null | grep -q 'CADORecordset Error'"
check "the connection survives errors" \
    bash -c "'$ADMIN' sql '$db' 'SELECT COUNT(*) FROM qp_Users' | tail -1 | grep -qx 1"

check "eval prints value and type" \
    bash -c "[ \"\$('$ADMIN' eval 'Round(2.5)+CInt(\"3\")')\" = \"\$(printf '5\tDouble')\" ]"
check "eval error gives number and non-zero exit" \
    bash -c "out=\$('$ADMIN' eval '1/0' 2>&1 >/dev/null); [ \$? -ne 0 ] && echo \"\$out\" | grep -q 11"

# passwd stores the hash of what it reads: MD5 over the first n bytes of the UTF-16LE text of an
# n-character password ("abc" hashes "a", NUL, "b").
check "passwd sets the password" bash -c "echo abc | '$ADMIN' passwd '$db' admin >/dev/null"
expected=$(printf 'a\0b' | md5sum | cut -c1-32 | tr a-f A-F)
check "stored hash covers n bytes of UTF-16LE, upper case" \
    bash -c "'$ADMIN' sql '$db' \"SELECT Pwd FROM qp_Users WHERE UserName='admin'\" | tail -1 | grep -qx $expected"
check "passwd refuses an unknown operator" \
    bash -c "! (echo x | '$ADMIN' passwd '$db' nobody 2>/dev/null)"

check "config writes an enciphered hr.ini" \
    bash -c "'$ADMIN' config --ini '$work/hr.ini' --server '$db' --integrated >/dev/null && grep -q '^DBConnect=' '$work/hr.ini' && ! grep -q '$db' '$work/hr.ini'"
check "config without a server fails" bash -c "! '$ADMIN' config --ini '$work/x.ini' 2>/dev/null"

# Bank file and payslips of the demo month.
database demo demo
"$ADMIN" init "$demo" --demo 30 >/dev/null || failures=$((failures + 1))
sort=$("$ADMIN" sql "$demo" "SELECT ID FROM qp_Table WHERE nType=6" | tail -1)
month=$("$ADMIN" sql "$demo" "SELECT MAX(fDate) FROM qp_WageTable" | tail -1)
"$ADMIN" sql "$demo" "EXEC qp_AddBankExportTemplet 0,$sort,N'bank',1,N'{\$COUNT()\$}',N'',N'|',N'dat',0" \
    || failures=$((failures + 1))
"$ADMIN" sql "$demo" "EXEC qp_AddBankExportDetail 0,$sort,1,0,N'name',N'姓名',0,0,0,0,1,1" \
    || failures=$((failures + 1))
check "bank writes the header and one GBK line per person" bash -c \
    "'$ADMIN' bank '$demo' --sort $sort --month $month --template 1 --out '$work/b.dat' 2>/dev/null >/dev/null && [ \"\$(head -1 '$work/b.dat')\" = \$'30\r' ] && [ \$(wc -l < '$work/b.dat') -eq 31 ] && iconv -f GBK -t UTF-8 '$work/b.dat' >/dev/null"
check "bank refuses a template of no such sort" \
    bash -c "! '$ADMIN' bank '$demo' --sort 999 --month $month --template 1 --out '$work/x.dat' 2>/dev/null"
check "mail --dry-run prints every payslip and fails for persons without address" bash -c \
    "out=\$('$ADMIN' mail '$demo' --sort $sort --month $month --template 1 --dry-run 2>/dev/null); [ \$? -ne 0 ] && [ \$(echo \"\$out\" | grep -c '^Subject: ') -eq 30 ]"
check "mail without a mailbox says so" bash -c \
    "'$ADMIN' mail '$demo' --sort $sort --month $month --template 1 2>&1 >/dev/null | grep -q '没有用于群发的邮箱'"

# The month calculation of the demo month.
net=$("$ADMIN" sql "$demo" "SELECT Name FROM qp_Items WHERE Alias='实发工资'" | tail -1)
wtable=$("$ADMIN" sql "$demo" "SELECT TblName FROM qp_Table WHERE ID=$sort" | tail -1)
"$ADMIN" sql "$demo" "UPDATE [$wtable] SET [$net]=0 WHERE fDate=$month" >/dev/null 2>&1
check "calc recalculates every person and logs it" bash -c \
    "out=\$('$ADMIN' calc '$demo' --sort $sort --month $month) && echo \"\$out\" | grep -q '^persons: 30\$' && [ \$('$ADMIN' sql '$demo' \"SELECT COUNT(*) FROM [$wtable] WHERE fDate=$month AND [$net]>0\" | tail -1) -eq 30 ] && '$ADMIN' sql '$demo' 'SELECT TOP 1 lAction FROM qp_Log ORDER BY id DESC' | grep -q '薪资重新核算'"
"$ADMIN" sql "$demo" "UPDATE qp_Users SET Purview='ffffffffffffffff|1|2|$sort' WHERE UserName='payroll'" >/dev/null 2>&1
check "calc with --user keeps to the operator's departments" bash -c \
    "'$ADMIN' calc '$demo' --sort $sort --month $month --user payroll | grep -q '^persons: [0-9]' && ! '$ADMIN' calc '$demo' --sort $sort --month $month --user payroll | grep -q '^persons: 30\$'"
first=$("$ADMIN" sql "$demo" "SELECT MIN(fDate) FROM qp_WageTable" | tail -1)
check "calc refuses an operator without the right" \
    bash -c "! '$ADMIN' calc '$demo' --sort $sort --month $month --user hr 2>/dev/null"
check "calc refuses a checked-out month" bash -c \
    "! '$ADMIN' calc '$demo' --sort $sort --month $first 2>/dev/null && '$ADMIN' calc '$demo' --sort $sort --month $first 2>&1 | grep -q '已结账'"
"$ADMIN" sql "$demo" "UPDATE qp_Items SET FExp='1/0' WHERE Name='$net'" >/dev/null 2>&1
check "calc exits non-zero and names a failing formula" bash -c \
    "out=\$('$ADMIN' calc '$demo' --sort $sort --month $month); [ \$? -eq 1 ] && echo \"\$out\" | grep -q '计算 \[实发工资\] 公式时出错!'"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
