<?php
// The least a script can do to answer a visitor's page as qlspgetid.php does: the same two
// queries for the next active ad after the one seen last (or the first), and the same count
// of its impression, in the ad and in its day, in one transaction; with nothing validated.
require __DIR__ . '/connect_minimal.php';
$next = $db->prepare('SELECT ad_id FROM qlsp_ads WHERE ad_enable = 1 AND ad_id > ? ORDER BY ad_id LIMIT 1');
$next->execute([(int)($_GET['lastadid'] ?? 0)]);
$id = $next->fetchColumn();
$next->closeCursor();
if ($id === false) {
    $id = $db->query('SELECT ad_id FROM qlsp_ads WHERE ad_enable = 1 ORDER BY ad_id LIMIT 1')->fetchColumn();
}
if ($id === false) {
    echo '0';
    exit;
}
$sqlite ? $db->exec('BEGIN IMMEDIATE') : $db->beginTransaction();
$db->prepare('UPDATE qlsp_ads SET ad_impressions = ad_impressions + 1 WHERE ad_id = ?')->execute([$id]);
$db->prepare('INSERT INTO qlsp_daily (day, ad_id, impressions) VALUES (?, ?, 1) '
    . ($sqlite ? 'ON CONFLICT (day, ad_id) DO UPDATE SET impressions = impressions + 1'
        : 'ON DUPLICATE KEY UPDATE impressions = impressions + 1'))->execute([date('Y-m-d'), $id]);
$sqlite ? $db->exec('COMMIT') : $db->commit();
echo (int)$id;
