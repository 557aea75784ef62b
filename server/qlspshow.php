<?php
// One ad as an HTML fragment, printed into the owner's pages by the display snippet and shown
// by the client's preview: its picture from "Pictures/", title, subtitle and text in a box as
// wide as the settings say, its links going through the click script. The links are paths
// from the host's root to this script's folder, so they work on any page of the same host.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';

qlsp_run(function (): void {
    $id = qlsp_query_ad_id();
    $settings = qlsp_settings();
    $ad = qlsp_ad(qlsp_connect($settings), $id);
    $base = qlsp_script_folder();
    $click = qlsp_html($base . '/qlspclick.php?ad_id=' . $id);
    $width = preg_match('/\A[0-9]{1,5}(px|%)\z/', $settings['adswidth']) === 1
        ? 'width:' . $settings['adswidth'] . ';' : '';
    $picture = (string)$ad['ad_picture'];
    echo '<div class="qlspad" style="', $width, 'border:1px solid #ccc;padding:6px;',
        'font-family:sans-serif;overflow:hidden">';
    if ($picture !== '') {
        echo '<a href="', $click, '" target="_blank" rel="noopener"><img src="',
            qlsp_html($base . '/Pictures/' . rawurlencode($picture)), '" alt="',
            qlsp_html((string)$ad['ad_title']), '" style="float:left;margin-right:6px;max-width:40%"></a>';
    }
    echo '<div class="qlsptitle" style="font-weight:bold"><a href="', $click,
        '" target="_blank" rel="noopener">', qlsp_html((string)$ad['ad_title']), '</a></div>',
        '<div class="qlspsubtitle" style="font-style:italic">', qlsp_html((string)$ad['ad_subtitle']),
        '</div><div class="qlsptext">', nl2br(qlsp_html((string)$ad['ad_text'])), '</div></div>';
}, 'text/html; charset=UTF-8');
