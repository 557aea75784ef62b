<?php
// Gives the demo site's empty database a few sample ads, through the site's own schema code:
// php seed.php SITE_DIR. A database that holds any ad is left as it is.

declare(strict_types=1);

if ($argc !== 2) {
    fwrite(STDERR, "usage: php seed.php SITE_DIR\n");
    exit(2);
}
require $argv[1] . '/qlspcommon.php';

// Title, subtitle, address, text, picture, active, impressions, clicks. No value holds a comma,
// a "^" or a line break, which the client's list cannot show intact.
const SAMPLE_ADS = [
    ['Fresh Coffee Beans', 'Roasted this week', 'http://www.example.com/coffee',
        'Single-origin beans from small farms. Free delivery over 30 euros.', 'coffee.svg', 1, 1840, 57],
    ['Bike Repair While You Wait', 'Back on the road in an hour', 'http://bikes.example.org/',
        'Tyres and brakes and gears and lights: book a slot or walk in.', 'bikes.svg', 1, 1215, 22],
    ['Garden Tools to Rent', 'Why buy what you use twice a year?', 'http://www.example.com/garden-tools',
        'Hedge trimmers and ladders by the day or for the weekend.', 'garden.svg', 1, 960, 31],
    ['Morning Yoga in the Park', 'All levels welcome', 'http://yoga.example.org/timetable',
        'Gentle sessions at 7 am from Monday to Saturday. Bring a mat.', 'yoga.svg', 1, 430, 4],
    ['Second-Hand Books', 'Thousands of titles at two euros each', 'http://books.example.com/',
        'Novels and cookery and travel guides. New stock every Friday.', 'books.svg', 1, 2675, 118],
    ['Summer Sale', 'Up to half off', 'http://www.example.org/summer-sale',
        "Last season's offer: kept for next year.", 'sale.svg', 0, 3120, 64],
];

try {
    $db = qlsp_connect(qlsp_settings());
    $db->beginTransaction();
    if ((int)$db->query('SELECT COUNT(*) FROM qlsp_ads')->fetchColumn() === 0) {
        $insert = $db->prepare('INSERT INTO qlsp_ads (ad_title, ad_subtitle, ad_url, ad_text, '
            . 'ad_picture, ad_enable, ad_impressions, ad_clicks) VALUES (?, ?, ?, ?, ?, ?, ?, ?)');
        foreach (SAMPLE_ADS as $ad) {
            $insert->execute($ad);
        }
    }
    $db->commit();
} catch (Throwable $error) {
    fwrite(STDERR, 'cannot seed the demo database: ' . $error->getMessage() . "\n");
    exit(1);
}
