#include "db/postgresfunctions.h"

namespace orvane::db {

// SQL Server's built-ins as PostgreSQL functions, in the forms TsqlTranslator::toPostgres emits.
// Dates follow SQL Server: DATEDIFF counts the boundaries crossed, weeks start on Sunday,
// CONVERT styles as in the SQLite functions, a text that is no date fails with SQL Server's
// message; CHARINDEX and REPLACE ignore case.
// Texts compare under the collation tsql_ci: ICU's Chinese order (pinyin, Latin first) at
// strength 2 (case ignored, accents count), width ignored, blanks ignored as alternates.
// PostgreSQL searches and matches patterns only under deterministic collations, so functions
// that do (strpos, regular expressions, replace) read their texts under "und-x-icu" or "C".
QStringList postgresSetupStatements()
{
    return {
        QStringLiteral(R"SQL(CREATE COLLATION IF NOT EXISTS tsql_ci (provider = icu, locale = 'zh-u-kr-latn-hani-ks-level2-ka-shifted-kv-space', deterministic = false))SQL"),
        QStringLiteral(R"SQL(DO $$ BEGIN CREATE DOMAIN tsqlmoney AS numeric(19,4); EXCEPTION WHEN duplicate_object THEN NULL; END $$)SQL"),
        QStringLiteral(R"SQL(DO $$ BEGIN CREATE DOMAIN tsqlbit AS smallint; EXCEPTION WHEN duplicate_object THEN NULL; END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_getdate() RETURNS timestamp(0) LANGUAGE sql STABLE AS $$ SELECT CAST(statement_timestamp() AS timestamp(0)) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_identity() RETURNS bigint LANGUAGE plpgsql VOLATILE AS $$
BEGIN
  RETURN lastval();
EXCEPTION WHEN object_not_in_prerequisite_state THEN
  RETURN NULL;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_identity_sequence(t text) RETURNS text LANGUAGE sql STABLE AS $$
  SELECT pg_get_serial_sequence(c.oid::regclass::text, a.attname)
  FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid
  WHERE c.oid = to_regclass(quote_ident(lower(t))) AND a.attnum > 0 AND NOT a.attisdropped
    AND (a.attidentity <> '' OR pg_get_serial_sequence(c.oid::regclass::text, a.attname) IS NOT NULL)
  ORDER BY a.attnum LIMIT 1 $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION ident_current(t text) RETURNS bigint LANGUAGE plpgsql VOLATILE AS $$
DECLARE seq text; v bigint;
BEGIN
  seq := tsql_identity_sequence(t);
  IF seq IS NULL THEN RETURN NULL; END IF;
  EXECUTE 'SELECT last_value FROM ' || seq INTO v;
  RETURN v;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_reseed(t text) RETURNS bigint LANGUAGE plpgsql VOLATILE AS $$
DECLARE seq text; col text; m bigint; v bigint; called boolean;
BEGIN
  seq := tsql_identity_sequence(t);
  IF seq IS NULL THEN RETURN NULL; END IF;
  SELECT a.attname INTO col FROM pg_attribute a
  WHERE a.attrelid = to_regclass(quote_ident(lower(t))) AND a.attidentity <> '' LIMIT 1;
  EXECUTE format('SELECT max(%I) FROM %I', col, lower(t)) INTO m;
  -- only ever forward: values handed out and deleted since are not given again
  EXECUTE 'SELECT last_value, is_called FROM ' || seq INTO v, called;
  IF m IS NOT NULL AND (m > v OR (m = v AND NOT called)) THEN PERFORM setval(seq, m, true); END IF;
  RETURN m;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_datetime(t text, style integer DEFAULT NULL) RETURNS timestamp(0) LANGUAGE plpgsql STABLE AS $$
DECLARE s text COLLATE "C" := btrim(t); m text[];
BEGIN
  IF s IS NULL THEN RETURN NULL; END IF;
  IF s = '' THEN RETURN TIMESTAMP '1900-01-01'; END IF;
  -- m/d/y and d/m/y by the style; year first otherwise
  m := regexp_match(s, '^(\d{1,2})[/.-](\d{1,2})[/.-](\d{2,4})(.*)$');
  IF m IS NOT NULL THEN
    IF style % 100 IN (3, 4, 5) THEN
      s := m[3] || '-' || m[2] || '-' || m[1] || m[4];
    ELSE
      s := m[3] || '-' || m[1] || '-' || m[2] || m[4];
    END IF;
    IF length(m[3]) = 2 THEN s := (CASE WHEN m[3]::int < 50 THEN '20' ELSE '19' END) || s; END IF;
  END IF;
  s := regexp_replace(s, '^(\d{4})[/.](\d{1,2})[/.](\d{1,2})', '\1-\2-\3');
  RETURN CAST(s AS timestamp);
EXCEPTION WHEN invalid_datetime_format OR datetime_field_overflow OR invalid_text_representation THEN
  RAISE EXCEPTION 'Conversion failed when converting date and/or time from character string.' USING ERRCODE = '22007';
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_datetime(d timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE AS $$ SELECT d $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_datetime(n numeric) RETURNS timestamp(0) LANGUAGE sql IMMUTABLE AS $$ SELECT CAST(TIMESTAMP '1900-01-01' + n * INTERVAL '1 day' AS timestamp(0)) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_date(t text) RETURNS date LANGUAGE sql STABLE AS $$ SELECT CAST(tsql_datetime(t) AS date) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_date(d timestamp) RETURNS date LANGUAGE sql IMMUTABLE AS $$ SELECT CAST(d AS date) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_isdate(t text) RETURNS integer LANGUAGE plpgsql STABLE AS $$
BEGIN
  IF t IS NULL OR btrim(t) = '' THEN RETURN 0; END IF;
  PERFORM tsql_datetime(t);
  RETURN 1;
EXCEPTION WHEN OTHERS THEN
  RETURN 0;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_isnumeric(t text) RETURNS integer LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN t COLLATE "C" ~ '^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*$' THEN 1 ELSE 0 END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION dateadd(part text, n numeric, d timestamp) RETURNS timestamp(0) LANGUAGE sql IMMUTABLE AS $$
  SELECT CAST(d + CASE part
    WHEN 'year' THEN make_interval(years => trunc(n)::int)
    WHEN 'quarter' THEN make_interval(months => 3 * trunc(n)::int)
    WHEN 'month' THEN make_interval(months => trunc(n)::int)
    WHEN 'week' THEN make_interval(days => 7 * trunc(n)::int)
    WHEN 'hour' THEN make_interval(hours => trunc(n)::int)
    WHEN 'minute' THEN make_interval(mins => trunc(n)::int)
    WHEN 'second' THEN make_interval(secs => trunc(n))
    ELSE make_interval(days => trunc(n)::int) END AS timestamp(0)) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION datediff(part text, a timestamp, b timestamp) RETURNS integer LANGUAGE sql IMMUTABLE AS $$
  SELECT CAST(CASE part
    WHEN 'year' THEN extract(year FROM b) - extract(year FROM a)
    WHEN 'quarter' THEN (extract(year FROM b) * 4 + extract(quarter FROM b)) - (extract(year FROM a) * 4 + extract(quarter FROM a))
    WHEN 'month' THEN (extract(year FROM b) * 12 + extract(month FROM b)) - (extract(year FROM a) * 12 + extract(month FROM a))
    WHEN 'week' THEN floor((CAST(b AS date) - DATE '1899-12-31') / 7.0) - floor((CAST(a AS date) - DATE '1899-12-31') / 7.0)
    WHEN 'hour' THEN (extract(epoch FROM date_trunc('hour', b)) - extract(epoch FROM date_trunc('hour', a))) / 3600
    WHEN 'minute' THEN (extract(epoch FROM date_trunc('minute', b)) - extract(epoch FROM date_trunc('minute', a))) / 60
    WHEN 'second' THEN extract(epoch FROM date_trunc('second', b)) - extract(epoch FROM date_trunc('second', a))
    ELSE CAST(b AS date) - CAST(a AS date) END AS integer) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION datepart(part text, d timestamp) RETURNS integer LANGUAGE sql IMMUTABLE AS $$
  SELECT CAST(CASE part
    WHEN 'year' THEN extract(year FROM d)
    WHEN 'quarter' THEN extract(quarter FROM d)
    WHEN 'month' THEN extract(month FROM d)
    WHEN 'dayofyear' THEN extract(doy FROM d)
    WHEN 'week' THEN floor((extract(doy FROM d) + extract(dow FROM date_trunc('year', d)) - 1) / 7) + 1
    WHEN 'weekday' THEN extract(dow FROM d) + 1
    WHEN 'hour' THEN extract(hour FROM d)
    WHEN 'minute' THEN extract(minute FROM d)
    WHEN 'second' THEN floor(extract(second FROM d))
    ELSE extract(day FROM d) END AS integer) $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_datestr(d timestamp, style integer) RETURNS text LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
  IF d IS NULL THEN RETURN NULL; END IF;
  IF style IN (0, 100) THEN
    RETURN to_char(d, 'Mon') || ' ' || lpad(extract(day FROM d)::int::text, 2) || ' ' || to_char(d, 'YYYY') || ' '
      || lpad(to_char(d, 'FMHH12'), 2) || ':' || to_char(d, 'MI') || to_char(d, 'AM');
  END IF;
  RETURN CASE style
    WHEN 1 THEN to_char(d, 'MM/DD/YY') WHEN 101 THEN to_char(d, 'MM/DD/YYYY')
    WHEN 2 THEN to_char(d, 'YY.MM.DD') WHEN 102 THEN to_char(d, 'YYYY.MM.DD')
    WHEN 3 THEN to_char(d, 'DD/MM/YY') WHEN 103 THEN to_char(d, 'DD/MM/YYYY')
    WHEN 4 THEN to_char(d, 'DD.MM.YY') WHEN 104 THEN to_char(d, 'DD.MM.YYYY')
    WHEN 5 THEN to_char(d, 'DD-MM-YY') WHEN 105 THEN to_char(d, 'DD-MM-YYYY')
    WHEN 8 THEN to_char(d, 'HH24:MI:SS') WHEN 108 THEN to_char(d, 'HH24:MI:SS')
    WHEN 10 THEN to_char(d, 'MM-DD-YY') WHEN 110 THEN to_char(d, 'MM-DD-YYYY')
    WHEN 11 THEN to_char(d, 'YY/MM/DD') WHEN 111 THEN to_char(d, 'YYYY/MM/DD')
    WHEN 12 THEN to_char(d, 'YYMMDD') WHEN 112 THEN to_char(d, 'YYYYMMDD')
    WHEN 20 THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS') WHEN 120 THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS')
    WHEN 21 THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS.MS') WHEN 121 THEN to_char(d, 'YYYY-MM-DD HH24:MI:SS.MS')
    WHEN 23 THEN to_char(d, 'YYYY-MM-DD')
    WHEN 126 THEN CASE WHEN date_trunc('second', d) = d THEN to_char(d, 'YYYY-MM-DD"T"HH24:MI:SS') ELSE to_char(d, 'YYYY-MM-DD"T"HH24:MI:SS.MS') END
    END;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_datestr(t text, style integer) RETURNS text LANGUAGE plpgsql STABLE AS $$
BEGIN
  IF tsql_isdate(t) = 1 THEN RETURN tsql_datestr(CAST(tsql_datetime(t) AS timestamp), style); END IF;
  RETURN t;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_charindex(needle text, hay text, start integer DEFAULT 1) RETURNS integer LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE s integer := greatest(coalesce(start, 1), 1); p integer;
  n text COLLATE "und-x-icu" := lower(needle COLLATE "und-x-icu");
  h text COLLATE "und-x-icu" := lower(substr(hay, s) COLLATE "und-x-icu");
BEGIN
  IF needle IS NULL OR hay IS NULL THEN RETURN NULL; END IF;
  IF n = '' THEN RETURN 0; END IF;
  p := strpos(h, n);
  RETURN CASE WHEN p = 0 THEN 0 ELSE p + s - 1 END;
END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_replace(s text, f text, r text) RETURNS text LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN f COLLATE "und-x-icu" = '' THEN s ELSE regexp_replace(s COLLATE "und-x-icu", regexp_replace(f COLLATE "und-x-icu", '([^[:alnum:][:space:]])', '\\\1', 'g'), replace(r COLLATE "und-x-icu", '\', '\\'), 'gi') END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_round(x numeric, n integer, f integer DEFAULT 0) RETURNS numeric LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN coalesce(f, 0) <> 0 THEN trunc(x, n) ELSE round(x, n) END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_str(x numeric, len integer DEFAULT 10, decimals integer DEFAULT 0) RETURNS text LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN length(CAST(round(x, least(greatest(decimals, 0), 16)) AS text)) > len THEN repeat('*', len)
              ELSE lpad(CAST(round(x, least(greatest(decimals, 0), 16)) AS text), len) END $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_add(a text, b text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT a || b $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_add(a numeric, b numeric) RETURNS numeric LANGUAGE sql IMMUTABLE AS $$ SELECT a + b $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_add(a timestamp, b numeric) RETURNS timestamp LANGUAGE sql IMMUTABLE AS $$ SELECT a + b * INTERVAL '1 day' $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_add(a numeric, b timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE AS $$ SELECT b + a * INTERVAL '1 day' $$)SQL"),
        QStringLiteral(R"SQL(CREATE OR REPLACE FUNCTION tsql_add(a timestamp, b text) RETURNS timestamp LANGUAGE sql STABLE STRICT AS $$ SELECT a + (tsql_datetime(b) - TIMESTAMP '1900-01-01') $$)SQL"),
    };
}

} // namespace orvane::db
