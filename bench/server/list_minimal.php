<?php
// The least a script can do to answer the ad list: read the settings, run the same query over
// the same table and join the rows as the list's reply does, with nothing checked or migrated.
require __DIR__ . '/qlspsettings.php';
if (str_starts_with($hostname, 'sqlite:')) {
    $db = new PDO($hostname);
} else {
    [$host, $port] = explode(':', $hostname);
    $db = new PDO("mysql:host=$host;port=$port;dbname=$database;charset=binary", $username, $password);
}
$reply = '';
foreach ($db->query('SELECT * FROM qlsp_ads ORDER BY ad_id', PDO::FETCH_NUM) as $row) {
    $reply .= '"' . implode('","', $row) . '"^';
}
echo $reply, 'OK';
