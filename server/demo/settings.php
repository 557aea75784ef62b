<?php
// Writes the demo site's qlspsettings.php, as the client's Settings dialog would, for an
// SQLite database and the demo's owner key, kept in KEY_FILE (made on the first start, for
// the owner only): php settings.php SITE_DIR DATABASE_FILE KEY_FILE

declare(strict_types=1);

if ($argc !== 4) {
    fwrite(STDERR, "usage: php settings.php SITE_DIR DATABASE_FILE KEY_FILE\n");
    exit(2);
}
[, $site, $database, $keyFile] = $argv;

// Written beside and renamed, so a reader never sees half a file; for the owner only, since
// both files hold the key.
function write_private(string $file, string $bytes): void
{
    $new = $file . '.new';
    if (file_put_contents($new, '') !== 0 || !chmod($new, 0600)
            || file_put_contents($new, $bytes) !== strlen($bytes) || !rename($new, $file)) {
        fwrite(STDERR, "cannot write $file\n");
        exit(1);
    }
}

if (!is_file($keyFile)) {
    write_private($keyFile, bin2hex(random_bytes(32)) . "\n");
}
$key = trim((string)file_get_contents($keyFile));
if (preg_match('/\A[0-9a-f]{64}\z/', $key) !== 1) {
    fwrite(STDERR, "$keyFile holds no owner key; delete it to make a new one\n");
    exit(1);
}

// A value as a PHP double-quoted string reads it back byte for byte: no variable is
// expanded and no control character breaks the line.
function quoted(string $value): string
{
    return '"' . preg_replace_callback('/[\\\\"$\x00-\x1f\x7f]/',
        fn(array $match): string => ctype_cntrl($match[0])
            ? sprintf('\\x%02X', ord($match[0])) : '\\' . $match[0],
        $value) . '"';
}

$values = ['hostname' => 'sqlite:' . $database, 'database' => '', 'username' => '',
    'password' => '', 'adswidth' => '500px', 'ownerkey' => $key];
$script = "<?php\r\n";
foreach ($values as $name => $value) {
    $script .= '  $' . $name . '=' . quoted($value) . ";\r\n";
}
$script .= "?>\r\n";
write_private($site . '/qlspsettings.php', $script);
