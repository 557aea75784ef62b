<?php
// A visitor's click on an ad: counts it and sends the visitor on to the ad's own stored
// address, never to one the request names.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';

qlsp_run(function (): void {
    $id = qlsp_query_ad_id();
    $db = qlsp_connect(qlsp_settings());
    $url = (string)qlsp_ad($db, $id)['ad_url'];
    // Only a web address on one line is followed; anything else would be a header to forge
    // or a script to run.
    if (preg_match('~\Ahttps?://[^\x00-\x20\x7f]+\z~i', $url) !== 1) {
        throw new Refusal(404, 'THIS AD HAS NO WEB ADDRESS');
    }
    qlsp_count_visit($db, $id, 'clicks');
    header('Location: ' . $url, true, 302);
}, 'text/plain');
