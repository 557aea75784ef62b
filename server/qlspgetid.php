<?php
// Picks the ad a visitor sees next: the first active ad after the one seen last
// ("lastadid"), starting again from the first; counts its impression and answers its id, or
// 0 when no ad is active.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';

qlsp_run(function (): void {
    $last = $_GET['lastadid'] ?? '0';
    if ($last !== '0' && qlsp_id($last) === null) {
        throw new Refusal(400, '0');
    }
    $db = qlsp_connect(qlsp_settings());
    $next = $db->prepare('SELECT ad_id FROM qlsp_ads WHERE ad_enable = 1 AND ad_id > ? '
        . 'ORDER BY ad_id LIMIT 1');
    $next->execute([(int)$last]);
    $id = $next->fetchColumn();
    // An open result would keep SQLite's read going and make the write below wait in vain.
    $next->closeCursor();
    if ($id === false) {
        $id = $db->query('SELECT ad_id FROM qlsp_ads WHERE ad_enable = 1 ORDER BY ad_id LIMIT 1')
            ->fetchColumn();
    }
    if ($id === false) {
        echo '0';
        return;
    }
    qlsp_count_visit($db, (int)$id, 'impressions');
    echo (int)$id;
}, 'text/plain');
