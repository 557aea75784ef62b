<?php
// Shared by every script: the settings, the database with its schema, and the ways a script
// refuses a request. Nothing here prints a PHP or database message: a visitor or the owner's
// client sees only the short refusals below.

declare(strict_types=1);

ini_set('display_errors', '0');
error_reporting(E_ALL);
// A warning would otherwise print into the reply; as an exception it ends in a refusal.
set_error_handler(function (int $severity, string $message, string $file, int $line): bool {
    throw new ErrorException($message, 0, $severity, $file, $line);
});

final class Refusal extends Exception
{
    public function __construct(public readonly int $status, string $text)
    {
        parent::__construct($text);
    }
}

// Runs a script's body; whatever goes wrong, the client gets a status and one short line.
function qlsp_run(callable $body, string $contentType): void
{
    // PHP may have buffered a warning of its own before the script began (an oversized post,
    // with display_startup_errors on): it must not reach the reply.
    while (ob_get_level() > 0) {
        ob_end_clean();
    }
    // The PHP version helps nobody but someone looking for a known hole.
    header_remove('X-Powered-By');
    try {
        header('Content-Type: ' . $contentType);
        header('X-Content-Type-Options: nosniff');
        $body();
    } catch (Refusal $refusal) {
        qlsp_refuse($refusal->status, $refusal->getMessage());
    } catch (Throwable $error) {
        error_log('qlsp: ' . get_class($error) . ': ' . $error->getMessage());
        qlsp_refuse(500, 'SERVER ERROR');
    }
}

function qlsp_refuse(int $status, string $text): void
{
    if (!headers_sent()) {
        http_response_code($status);
        header('Content-Type: text/plain; charset=UTF-8');
    }
    echo $text;
}

// The settings the owner's client wrote: $hostname, $database, $username, $password and
// $adswidth, and $ownerkey, the key that signs the owner's posts. $hostname is a MySQL host
// (with ":port" when not 3306), or "sqlite:" and the database file's absolute path. The
// owner key is null unless it is 64 hex digits.
function qlsp_settings(): array
{
    $file = __DIR__ . '/qlspsettings.php';
    if (!is_file($file)) {
        throw new Refusal(503, 'NO SETTINGS');
    }
    // Whatever the file prints (a blank line after its closing tag, a byte order mark) is
    // dropped: it would otherwise come before every reply.
    ob_start();
    try {
        $settings = (static function (string $file): array {
            require $file;
            return get_defined_vars();
        })($file);
    } catch (Throwable $error) {
        throw new Refusal(503, 'BROKEN SETTINGS');
    } finally {
        ob_end_clean();
    }
    $names = ['hostname', 'database', 'username', 'password', 'adswidth'];
    foreach ($names as $name) {
        if (!isset($settings[$name]) || !is_string($settings[$name])) {
            throw new Refusal(503, 'BROKEN SETTINGS');
        }
    }
    if (str_starts_with($settings['hostname'], 'sqlite:')) {
        qlsp_check_sqlite_file(substr($settings['hostname'], strlen('sqlite:')));
    }
    $key = $settings['ownerkey'] ?? null;
    $settings = array_intersect_key($settings, array_flip($names));
    $settings['ownerkey'] = is_string($key) && preg_match('/\A[0-9a-fA-F]{64}\z/', $key) === 1
        ? $key : null;
    return $settings;
}

// The web server hands out the scripts' folder whole, so the database file must lie
// elsewhere; a relative path would put it wherever the server's working folder happens to be,
// usually beside the scripts.
function qlsp_check_sqlite_file(string $path): void
{
    $absolute = str_starts_with($path, '/') || preg_match('~\A[A-Za-z]:[\\\\/]~', $path) === 1;
    if (!$absolute) {
        throw new Refusal(503, 'BROKEN SETTINGS');
    }
    // A folder that does not exist fails on connecting, with nothing made.
    $folder = realpath(dirname($path));
    $scripts = realpath(__DIR__);
    if ($folder !== false && $scripts !== false && ($folder === $scripts
            || str_starts_with($folder . DIRECTORY_SEPARATOR, $scripts . DIRECTORY_SEPARATOR))) {
        throw new Refusal(503, 'BROKEN SETTINGS');
    }
}

// A connection with the schema brought up to date, or up to `$schemaVersion` when given.
function qlsp_connect(array $settings, ?int $schemaVersion = null): PDO
{
    $options = [
        PDO::ATTR_ERRMODE => PDO::ERRMODE_EXCEPTION,
        PDO::ATTR_DEFAULT_FETCH_MODE => PDO::FETCH_ASSOC,
        PDO::ATTR_EMULATE_PREPARES => false,
    ];
    try {
        if (str_starts_with($settings['hostname'], 'sqlite:')) {
            $db = new PDO($settings['hostname'], null, null, $options);
            $db->exec('PRAGMA busy_timeout = 10000');
            $db->exec('PRAGMA journal_mode = WAL');
        } else {
            [$host, $port] = array_pad(explode(':', $settings['hostname'], 2), 2, '3306');
            // Values are bytes as the owner's client sent them: a binary connection keeps them.
            $dsn = 'mysql:host=' . $host . ';port=' . (int)$port . ';dbname=' . $settings['database']
                . ';charset=binary';
            $db = new PDO($dsn, $settings['username'], $settings['password'], $options);
        }
    } catch (PDOException $error) {
        error_log('qlsp: cannot connect: ' . $error->getMessage());
        throw new Refusal(503, 'DATABASE UNAVAILABLE');
    }
    qlsp_migrate($db, $schemaVersion);
    return $db;
}

function qlsp_is_sqlite(PDO $db): bool
{
    return $db->getAttribute(PDO::ATTR_DRIVER_NAME) === 'sqlite';
}

// Each step brings the schema from one version to the next; a database made by an older
// version of these scripts is brought up to date in place, on its first use.
function qlsp_migrations(PDO $db): array
{
    $sqlite = qlsp_is_sqlite($db);
    $id = $sqlite ? 'INTEGER PRIMARY KEY AUTOINCREMENT' : 'BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY';
    $bytes = $sqlite ? 'BLOB' : 'MEDIUMBLOB';
    return [
        1 => ["CREATE TABLE qlsp_ads (ad_id $id, ad_title $bytes NOT NULL, "
            . "ad_subtitle $bytes NOT NULL, ad_url $bytes NOT NULL, ad_text $bytes NOT NULL, "
            . "ad_picture $bytes NOT NULL, ad_impressions BIGINT NOT NULL DEFAULT 0, "
            . "ad_clicks BIGINT NOT NULL DEFAULT 0, ad_enable SMALLINT NOT NULL DEFAULT 1)"],
        // The next ad for a visitor is looked up among the active ones, in id order.
        2 => ['CREATE INDEX qlsp_ads_active ON qlsp_ads (ad_enable, ad_id)'],
        // The nonces of the owner's signed posts, kept while a replay could still pass.
        3 => ['CREATE TABLE qlsp_nonces (nonce CHAR(32) NOT NULL PRIMARY KEY, seen BIGINT NOT NULL)',
            'CREATE INDEX qlsp_nonces_seen ON qlsp_nonces (seen)'],
        // Each ad's impressions and clicks per day of the server's own calendar; the reports
        // ask for a range of days, of one ad or of all.
        4 => ['CREATE TABLE qlsp_daily (day CHAR(10) NOT NULL, ad_id BIGINT NOT NULL, '
            . 'impressions BIGINT NOT NULL DEFAULT 0, clicks BIGINT NOT NULL DEFAULT 0, '
            . 'PRIMARY KEY (day, ad_id))',
            'CREATE INDEX qlsp_daily_ad ON qlsp_daily (ad_id, day)'],
    ];
}

function qlsp_schema_version(PDO $db): int
{
    $db->exec('CREATE TABLE IF NOT EXISTS qlsp_schema (version INTEGER NOT NULL)');
    $version = $db->query('SELECT MAX(version) FROM qlsp_schema')->fetchColumn();
    return $version === null || $version === false ? 0 : (int)$version;
}

function qlsp_migrate(PDO $db, ?int $upTo = null): void
{
    $migrations = qlsp_migrations($db);
    $upTo ??= max(array_keys($migrations));
    for ($version = qlsp_schema_version($db) + 1; $version <= $upTo; ++$version) {
        foreach ($migrations[$version] as $statement) {
            try {
                $db->exec($statement);
            } catch (PDOException $error) {
                // Two first requests at once: the other one has just made this step.
                if (qlsp_schema_version($db) >= $version) {
                    continue 2;
                }
                throw $error;
            }
        }
        $db->prepare('INSERT INTO qlsp_schema (version) VALUES (?)')->execute([$version]);
    }
}

// Counts a visitor's impression or click (`$column` names which) into the ad's totals and its
// day's, in one transaction: each count is a single statement, so visitors arriving together
// each add their own, and the two never disagree.
function qlsp_count_visit(PDO $db, int $id, string $column): void
{
    $sqlite = qlsp_is_sqlite($db);
    // SQLite takes the write lock at once, so a second visitor waits for it instead of failing.
    $sqlite ? $db->exec('BEGIN IMMEDIATE') : $db->beginTransaction();
    try {
        $db->prepare("UPDATE qlsp_ads SET ad_$column = ad_$column + 1 WHERE ad_id = ?")
            ->execute([$id]);
        $add = $sqlite ? "ON CONFLICT (day, ad_id) DO UPDATE SET $column = $column + 1"
            : "ON DUPLICATE KEY UPDATE $column = $column + 1";
        $db->prepare("INSERT INTO qlsp_daily (day, ad_id, $column) VALUES (?, ?, 1) $add")
            ->execute([date('Y-m-d'), $id]);
        $sqlite ? $db->exec('COMMIT') : $db->commit();
    } catch (Throwable $error) {
        $sqlite ? $db->exec('ROLLBACK') : $db->rollBack();
        throw $error;
    }
}

// A positive whole number as decimal digits, or null.
function qlsp_id(mixed $value): ?int
{
    if (!is_string($value) || preg_match('/\A[1-9][0-9]{0,17}\z/', $value) !== 1) {
        return null;
    }
    return (int)$value;
}

// The ad id the request's query names; a request naming none is refused.
function qlsp_query_ad_id(): int
{
    $id = qlsp_id($_GET['ad_id'] ?? null);
    if ($id === null) {
        throw new Refusal(400, 'NO SUCH AD');
    }
    return $id;
}

// The ad's row; an ad that is gone is refused.
function qlsp_ad(PDO $db, int $id): array
{
    $query = $db->prepare('SELECT * FROM qlsp_ads WHERE ad_id = ?');
    $query->execute([$id]);
    $ad = $query->fetch();
    // An open result would keep SQLite's read going and make a later write wait in vain.
    $query->closeCursor();
    if ($ad === false) {
        throw new Refusal(404, 'NO SUCH AD');
    }
    return $ad;
}

function qlsp_html(string $text): string
{
    return htmlspecialchars($text, ENT_QUOTES | ENT_SUBSTITUTE | ENT_HTML5, 'UTF-8');
}

// The folder of the running script as a path from the host's root, each segment escaped, with
// no closing "/": the pages that print the display script's fragment live on the same host,
// perhaps in another folder, and the request's Host header is the sender's to forge.
function qlsp_script_folder(): string
{
    $folder = trim(str_replace('\\', '/', dirname($_SERVER['SCRIPT_NAME'] ?? '/')), '/');
    return $folder === '' ? '' : '/' . implode('/', array_map('rawurlencode', explode('/', $folder)));
}
