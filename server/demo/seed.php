<?php
// Gives the demo site's empty database a few sample ads, through the site's own schema code:
// php seed.php SITE_DIR. A database that holds any ad is left as it is. Each ad's impressions
// and clicks are spread over the last 90 days, so the statistics show something at once.

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

const SAMPLE_DAYS = 90;

// How the sample ads' visits lean over the 90 days, oldest first: most are steady, one rises
// and one fades.
const SAMPLE_TRENDS = ['steady', 'steady', 'steady', 'steady', 'rising', 'fading'];

// The share of an ad's visits on day $day (0 the oldest): quieter at weekends, a little uneven
// from day to day, leaning as the ad's trend says.
function sample_weight(int $day, string $trend, int $weekday, int $ad): float
{
    $week = $weekday >= 6 ? 0.6 : 1.0;
    $uneven = 1.0 + 0.2 * sin($day * 1.7 + $ad * 2.3);
    $lean = match ($trend) {
        'rising' => 0.2 + 1.8 * $day / SAMPLE_DAYS,
        'fading' => 2.0 * (1 - $day / SAMPLE_DAYS) ** 2,
        default => 1.0,
    };
    return $week * $uneven * $lean;
}

// $total cut into parts after $weights whose sum is exactly $total.
function sample_split(int $total, array $weights): array
{
    $sum = array_sum($weights);
    $parts = [];
    $cumulative = 0.0;
    $given = 0;
    foreach ($weights as $weight) {
        $cumulative += $weight;
        $upTo = (int)round($total * $cumulative / $sum);
        $parts[] = $upTo - $given;
        $given = $upTo;
    }
    return $parts;
}

function seed_days(PDO $db, int $id, int $impressions, int $clicks, int $sample): void
{
    $first = (new DateTimeImmutable('today'))->modify('-' . (SAMPLE_DAYS - 1) . ' days');
    $days = [];
    $weights = [];
    for ($day = 0; $day < SAMPLE_DAYS; ++$day) {
        $days[] = $first->modify("+$day days");
        $weights[] = sample_weight($day, SAMPLE_TRENDS[$sample], (int)$days[$day]->format('N'),
            $sample);
    }
    $shown = sample_split($impressions, $weights);
    $clicked = sample_split($clicks, $weights);
    $insert = $db->prepare('INSERT INTO qlsp_daily (day, ad_id, impressions, clicks) '
        . 'VALUES (?, ?, ?, ?)');
    foreach ($days as $day => $date) {
        if ($shown[$day] > 0 || $clicked[$day] > 0) {
            $insert->execute([$date->format('Y-m-d'), $id, $shown[$day], $clicked[$day]]);
        }
    }
}

try {
    $db = qlsp_connect(qlsp_settings());
    $db->beginTransaction();
    if ((int)$db->query('SELECT COUNT(*) FROM qlsp_ads')->fetchColumn() === 0) {
        $insert = $db->prepare('INSERT INTO qlsp_ads (ad_title, ad_subtitle, ad_url, ad_text, '
            . 'ad_picture, ad_enable, ad_impressions, ad_clicks) VALUES (?, ?, ?, ?, ?, ?, ?, ?)');
        foreach (SAMPLE_ADS as $sample => $ad) {
            $insert->execute($ad);
            seed_days($db, (int)$db->lastInsertId(), $ad[6], $ad[7], $sample);
        }
    }
    $db->commit();
} catch (Throwable $error) {
    fwrite(STDERR, 'cannot seed the demo database: ' . $error->getMessage() . "\n");
    exit(1);
}
