<?php
// The least a script can do to answer the ad list as the actions script does: the same query
// over the same table, unbuffered on MySQL, each row's values joined the same way and sent in
// the same pieces of 64 KiB, with no signature, form or settings checked.
require __DIR__ . '/connect_minimal.php';
if (!$sqlite) {
    $db->setAttribute(PDO::MYSQL_ATTR_USE_BUFFERED_QUERY, false);
}
$piece = '';
$query = 'SELECT ad_id, ad_title, ad_subtitle, ad_url, ad_text, ad_picture, ad_impressions, '
    . 'ad_clicks, ad_enable FROM qlsp_ads ORDER BY ad_id';
foreach ($db->query($query, PDO::FETCH_NUM) as $row) {
    $piece .= '"' . implode('","', $row) . '"^';
    if (strlen($piece) >= 65536) {
        echo $piece;
        $piece = '';
    }
}
echo $piece, 'OK';
