<?php
// Writes the demo site's qlspsettings.php, as the client's Settings dialog would, for an
// SQLite database: php settings.php SITE_DIR DATABASE_FILE

declare(strict_types=1);

if ($argc !== 3) {
    fwrite(STDERR, "usage: php settings.php SITE_DIR DATABASE_FILE\n");
    exit(2);
}
[, $site, $database] = $argv;

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
    'password' => '', 'adswidth' => '500px'];
$script = "<?php\r\n";
foreach ($values as $name => $value) {
    $script .= '  $' . $name . '=' . quoted($value) . ";\r\n";
}
$script .= "?>\r\n";

// Written beside and renamed, so the scripts never read half a file.
$file = $site . '/qlspsettings.php';
if (file_put_contents($file . '.new', $script) !== strlen($script) || !rename($file . '.new', $file)) {
    fwrite(STDERR, "cannot write $file\n");
    exit(1);
}
