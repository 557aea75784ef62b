<?php
// The baselines' connection: the settings read and the database opened as the server's
// scripts open it (errors as exceptions, native prepares, SQLite waiting for its lock), with
// nothing checked or migrated.
require __DIR__ . '/qlspsettings.php';
$options = [PDO::ATTR_ERRMODE => PDO::ERRMODE_EXCEPTION, PDO::ATTR_EMULATE_PREPARES => false];
$sqlite = str_starts_with($hostname, 'sqlite:');
if ($sqlite) {
    $db = new PDO($hostname, null, null, $options);
    $db->exec('PRAGMA busy_timeout = 10000');
    $db->exec('PRAGMA journal_mode = WAL');
} else {
    [$host, $port] = explode(':', $hostname);
    $db = new PDO("mysql:host=$host;port=$port;dbname=$database;charset=binary", $username,
        $password, $options);
}
