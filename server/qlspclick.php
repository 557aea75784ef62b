<?php
// A visitor's click on an ad: counts it and sends the visitor on to the ad's own stored
// address, never to one the request names.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';

qlsp_run(function (): void {
    $id = qlsp_id($_GET['ad_id'] ?? null);
    if ($id === null) {
        throw new Refusal(400, 'NO SUCH AD');
    }
    $db = qlsp_connect(qlsp_settings());
    $query = $db->prepare('SELECT ad_url FROM qlsp_ads WHERE ad_id = ?');
    $query->execute([$id]);
    $url = $query->fetchColumn();
    $query->closeCursor();
    if ($url === false) {
        throw new Refusal(404, 'NO SUCH AD');
    }
    // Only a web address on one line is followed; anything else would be a header to forge
    // or a script to run.
    if (preg_match('~\Ahttps?://[^\x00-\x20\x7f]+\z~i', (string)$url) !== 1) {
        throw new Refusal(404, 'THIS AD HAS NO WEB ADDRESS');
    }
    $db->prepare('UPDATE qlsp_ads SET ad_clicks = ad_clicks + 1 WHERE ad_id = ?')->execute([$id]);
    header('Location: ' . $url, true, 302);
}, 'text/plain');
