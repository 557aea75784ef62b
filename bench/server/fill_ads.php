<?php
// Adds ads to the database of a site folder through the site's own settings, connection and
// schema, numbered on from the ads already there, in one transaction so that it takes a
// moment, not minutes.
// Usage: php fill_ads.php SITE_FOLDER COUNT
declare(strict_types=1);

require $argv[1] . '/qlspcommon.php';

$db = qlsp_connect(qlsp_settings());
$insert = $db->prepare('INSERT INTO qlsp_ads (ad_title, ad_subtitle, ad_url, ad_text, ad_picture, '
    . 'ad_enable, ad_impressions, ad_clicks) VALUES (?, ?, ?, ?, ?, ?, ?, ?)');
$first = (int)$db->query('SELECT COUNT(*) FROM qlsp_ads')->fetchColumn() + 1;
$db->beginTransaction();
for ($i = $first; $i < $first + (int)$argv[2]; ++$i) {
    // One ad in ten is inactive, so that picking the next ad for a visitor skips some.
    $insert->execute(["Ad title $i", "A subtitle for ad $i", "http://www.example.com/offer/$i",
        "Some content text of a moderate length for ad $i", "picture$i.jpg", $i % 10 === 0 ? 0 : 1,
        1000 + $i, $i % 97]);
}
$db->commit();
