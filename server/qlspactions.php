<?php
// The owner's client lists, adds, edits, fetches and deletes ads, and uploads their pictures,
// here: one multipart post per operation, named by its field "action", answered by a short
// text reply.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';
require __DIR__ . '/qlspsigned.php';
require __DIR__ . '/qlsppicture.php';

const QLSP_FIELDS = ['ad_id', 'ad_title', 'ad_subtitle', 'ad_url', 'ad_text', 'ad_picture',
    'ad_impressions', 'ad_clicks', 'ad_enable'];

// The field as posted; a request without it is refused.
function qlsp_field(array $form, string $name): string
{
    $value = $form[$name] ?? null;
    if (!is_string($value)) {
        throw new Refusal(400, 'MISSING FIELD ' . $name);
    }
    return $value;
}

function qlsp_enable(array $form): int
{
    $value = qlsp_field($form, 'ad_enable');
    if ($value !== '0' && $value !== '1') {
        throw new Refusal(400, 'BAD FIELD ad_enable');
    }
    return (int)$value;
}

function qlsp_count(array $form, string $name): int
{
    $value = qlsp_field($form, $name);
    if (preg_match('/\A[0-9]{1,18}\z/', $value) !== 1) {
        throw new Refusal(400, 'BAD FIELD ' . $name);
    }
    return (int)$value;
}

// One ad as the client reads it: its nine values, selected as QLSP_FIELDS names them, in
// double quotes, joined by commas. The protocol has no escapes, so a value holding a comma,
// "^" or a line break shows as it is.
function qlsp_record(array $values): string
{
    return '"' . implode('","', $values) . '"';
}

function qlsp_select_fields(): string
{
    return 'SELECT ' . implode(', ', QLSP_FIELDS) . ' FROM qlsp_ads';
}

function qlsp_title_taken(PDO $db, string $title): bool
{
    $query = $db->prepare('SELECT 1 FROM qlsp_ads WHERE ad_title = ?');
    $query->execute([$title]);
    $taken = $query->fetchColumn() !== false;
    $query->closeCursor();
    return $taken;
}

// The fields of an ad in the order of its columns, from ad_title to ad_enable.
function qlsp_ad_values(array $form): array
{
    $names = ['ad_title', 'ad_subtitle', 'ad_url', 'ad_text', 'ad_picture'];
    return [...array_map(fn(string $name) => qlsp_field($form, $name), $names), qlsp_enable($form)];
}

function qlsp_add(PDO $db, array $form): string
{
    $values = [...qlsp_ad_values($form), qlsp_count($form, 'ad_impressions'),
        qlsp_count($form, 'ad_clicks')];
    // The title check and the insert hold the write lock together, so two adds of one title
    // at once cannot both pass the check.
    $db->exec(qlsp_is_sqlite($db) ? 'BEGIN IMMEDIATE' : 'LOCK TABLES qlsp_ads WRITE');
    try {
        if (qlsp_title_taken($db, $values[0])) {
            return 'EXIST RECORD';
        }
        $db->prepare('INSERT INTO qlsp_ads (ad_title, ad_subtitle, ad_url, ad_text, ad_picture, '
            . 'ad_enable, ad_impressions, ad_clicks) VALUES (?, ?, ?, ?, ?, ?, ?, ?)')->execute($values);
        return 'OK';
    } finally {
        $db->exec(qlsp_is_sqlite($db) ? 'COMMIT' : 'UNLOCK TABLES');
    }
}

function qlsp_edit(PDO $db, array $form): string
{
    $id = qlsp_id(qlsp_field($form, 'ad_id'));
    $values = qlsp_ad_values($form);
    if ($id === null) {
        return "DON'T EXIST RECORD";
    }
    $exists = $db->prepare('SELECT 1 FROM qlsp_ads WHERE ad_id = ?');
    $exists->execute([$id]);
    $found = $exists->fetchColumn() !== false;
    $exists->closeCursor();
    if (!$found) {
        return "DON'T EXIST RECORD";
    }
    $db->prepare('UPDATE qlsp_ads SET ad_title = ?, ad_subtitle = ?, ad_url = ?, ad_text = ?, '
        . 'ad_picture = ?, ad_enable = ? WHERE ad_id = ?')->execute([...$values, $id]);
    return 'OK';
}

function qlsp_delete(PDO $db, array $form): string
{
    $ids = qlsp_field($form, 'qlspotdeleteids');
    $list = $ids === 'all' ? [] : array_map('qlsp_id', explode(',', $ids));
    if (in_array(null, $list, true)) {
        throw new Refusal(400, 'BAD FIELD qlspotdeleteids');
    }
    $marks = implode(',', array_fill(0, count($list), '?'));
    $where = $ids === 'all' ? '' : " WHERE ad_id IN ($marks)";
    // An ad's days go with it, or a later ad could never be told from it.
    $db->beginTransaction();
    foreach (['qlsp_ads', 'qlsp_daily'] as $table) {
        $db->prepare("DELETE FROM $table$where")->execute($list);
    }
    $db->commit();
    return 'OK';
}

// A day as YYYY-MM-DD that the calendar has, as a DateTimeImmutable at its midnight.
function qlsp_day(array $form, string $name): DateTimeImmutable
{
    $value = qlsp_field($form, $name);
    $day = DateTimeImmutable::createFromFormat('!Y-m-d', $value, new DateTimeZone('UTC'));
    if (preg_match('/\A[0-9]{4}-[0-9]{2}-[0-9]{2}\z/', $value) !== 1 || $day === false
            || $day->format('Y-m-d') !== $value) {
        throw new Refusal(400, 'BAD FIELD ' . $name);
    }
    return $day;
}

// The daily counts of one ad, or of "all", from first_day to last_day: one line
// "DAY,ID,IMPRESSIONS,CLICKS^" for each day and ad that has any, in day and then id order.
function qlsp_daily_counts(PDO $db, array $form): string
{
    $ad = qlsp_field($form, 'ad_id');
    $id = $ad === 'all' ? null : qlsp_id($ad);
    if ($ad !== 'all' && $id === null) {
        throw new Refusal(400, 'BAD FIELD ad_id');
    }
    $first = qlsp_day($form, 'first_day');
    $last = qlsp_day($form, 'last_day');
    $span = $first->diff($last);
    if ($span->invert === 1 || $span->days > 3660) {
        throw new Refusal(400, 'BAD FIELD last_day');
    }
    $values = [$first->format('Y-m-d'), $last->format('Y-m-d')];
    $sql = 'SELECT day, ad_id, impressions, clicks FROM qlsp_daily WHERE day BETWEEN ? AND ?';
    if ($id !== null) {
        $sql .= ' AND ad_id = ?';
        $values[] = $id;
    }
    $query = $db->prepare($sql . ' ORDER BY day, ad_id');
    $query->execute($values);
    $reply = '';
    foreach ($query as $row) {
        $reply .= $row['day'] . ',' . $row['ad_id'] . ',' . $row['impressions'] . ','
            . $row['clicks'] . '^';
    }
    return $reply . 'OK';
}

// A site may hold a million ads, a reply of hundreds of megabytes: the records go out as the
// database hands them over, some 64 KiB at a time, so the script's memory stays the same
// whatever the number of ads. MySQL would otherwise copy the whole result to the script
// first. A failure half-way leaves the reply without its closing "OK", which the client
// takes for a failed list.
function qlsp_list(PDO $db, array $form): string
{
    if (!qlsp_is_sqlite($db)) {
        $db->setAttribute(PDO::MYSQL_ATTR_USE_BUFFERED_QUERY, false);
    }
    $piece = '';
    $rows = $db->query(qlsp_select_fields() . ' ORDER BY ad_id', PDO::FETCH_NUM);
    foreach ($rows as $row) {
        $piece .= qlsp_record($row) . '^';
        if (strlen($piece) >= 65536) {
            echo $piece;
            $piece = '';
        }
    }
    return $piece . 'OK';
}

function qlsp_fetch(PDO $db, array $form): string
{
    $id = qlsp_id(qlsp_field($form, 'ad_id'));
    if ($id === null) {
        return 'OK';
    }
    $query = $db->prepare(qlsp_select_fields() . ' WHERE ad_id = ?');
    $query->execute([$id]);
    $row = $query->fetch(PDO::FETCH_NUM);
    return $row === false ? 'OK' : qlsp_record($row) . '^OK';
}

qlsp_run(function (): void {
    // The client's reachability check before an add is a plain GET, unsigned: it reads and
    // changes nothing.
    if (($_SERVER['REQUEST_METHOD'] ?? 'GET') !== 'POST') {
        echo 'OK';
        return;
    }
    $settings = qlsp_settings();
    $form = qlsp_posted_form();
    $db = qlsp_connect($settings);
    qlsp_check_signature($db, $settings['ownerkey'], $form['body']);
    $actions = ['1' => fn(PDO $db, array $fields) => 'OK', '2' => 'qlsp_add', '3' => 'qlsp_edit',
        '4' => 'qlsp_delete', '5' => 'qlsp_list', '6' => 'qlsp_upload_picture',
        '7' => 'qlsp_daily_counts', '9' => 'qlsp_fetch'];
    $action = $form['fields']['action'] ?? null;
    if (!isset($actions[$action])) {
        throw new Refusal(400, 'UNKNOWN ACTION');
    }
    echo $actions[$action]($db, $form['fields']);
}, 'text/plain');
