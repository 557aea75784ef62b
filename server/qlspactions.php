<?php
// The owner's client lists, adds, edits, fetches and deletes ads here: one multipart post per
// operation, named by its field "action", answered by a short text reply.

declare(strict_types=1);

require __DIR__ . '/qlspcommon.php';

const QLSP_FIELDS = ['ad_id', 'ad_title', 'ad_subtitle', 'ad_url', 'ad_text', 'ad_picture',
    'ad_impressions', 'ad_clicks', 'ad_enable'];

// The field as posted; a request without it is refused.
function qlsp_field(string $name): string
{
    $value = $_POST[$name] ?? null;
    if (!is_string($value)) {
        throw new Refusal(400, 'MISSING FIELD ' . $name);
    }
    return $value;
}

function qlsp_enable(): int
{
    $value = qlsp_field('ad_enable');
    if ($value !== '0' && $value !== '1') {
        throw new Refusal(400, 'BAD FIELD ad_enable');
    }
    return (int)$value;
}

function qlsp_count(string $name): int
{
    $value = qlsp_field($name);
    if (preg_match('/\A[0-9]{1,18}\z/', $value) !== 1) {
        throw new Refusal(400, 'BAD FIELD ' . $name);
    }
    return (int)$value;
}

// One ad as the client reads it: the nine values in double quotes, joined by commas. The
// protocol has no escapes, so a value holding a comma, "^" or a line break shows as it is.
function qlsp_record(array $row): string
{
    $values = array_map(fn(string $name) => (string)$row[$name], QLSP_FIELDS);
    return '"' . implode('","', $values) . '"';
}

function qlsp_title_taken(PDO $db, string $title): bool
{
    $query = $db->prepare('SELECT 1 FROM qlsp_ads WHERE ad_title = ?');
    $query->execute([$title]);
    $taken = $query->fetchColumn() !== false;
    $query->closeCursor();
    return $taken;
}

function qlsp_add(PDO $db): string
{
    $values = [qlsp_field('ad_title'), qlsp_field('ad_subtitle'), qlsp_field('ad_url'),
        qlsp_field('ad_text'), qlsp_field('ad_picture'), qlsp_enable(),
        qlsp_count('ad_impressions'), qlsp_count('ad_clicks')];
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

function qlsp_edit(PDO $db): string
{
    $id = qlsp_id(qlsp_field('ad_id'));
    $values = [qlsp_field('ad_title'), qlsp_field('ad_subtitle'), qlsp_field('ad_url'),
        qlsp_field('ad_text'), qlsp_field('ad_picture'), qlsp_enable()];
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

function qlsp_delete(PDO $db): string
{
    $ids = qlsp_field('qlspotdeleteids');
    if ($ids === 'all') {
        $db->exec('DELETE FROM qlsp_ads');
        return 'OK';
    }
    $list = array_map('qlsp_id', explode(',', $ids));
    if (in_array(null, $list, true)) {
        throw new Refusal(400, 'BAD FIELD qlspotdeleteids');
    }
    $marks = implode(',', array_fill(0, count($list), '?'));
    $db->prepare("DELETE FROM qlsp_ads WHERE ad_id IN ($marks)")->execute($list);
    return 'OK';
}

function qlsp_list(PDO $db): string
{
    $reply = '';
    foreach ($db->query('SELECT * FROM qlsp_ads ORDER BY ad_id') as $row) {
        $reply .= qlsp_record($row) . '^';
    }
    return $reply . 'OK';
}

function qlsp_fetch(PDO $db): string
{
    $id = qlsp_id(qlsp_field('ad_id'));
    if ($id === null) {
        return 'OK';
    }
    $query = $db->prepare('SELECT * FROM qlsp_ads WHERE ad_id = ?');
    $query->execute([$id]);
    $row = $query->fetch();
    return $row === false ? 'OK' : qlsp_record($row) . '^OK';
}

qlsp_run(function (): void {
    // The client's reachability check before an add is a plain GET.
    if (($_SERVER['REQUEST_METHOD'] ?? 'GET') !== 'POST') {
        echo 'OK';
        return;
    }
    $actions = ['1' => fn(PDO $db) => 'OK', '2' => 'qlsp_add', '3' => 'qlsp_edit',
        '4' => 'qlsp_delete', '5' => 'qlsp_list', '9' => 'qlsp_fetch'];
    $action = $_POST['action'] ?? null;
    if (!is_string($action) || !isset($actions[$action])) {
        throw new Refusal(400, 'UNKNOWN ACTION');
    }
    $db = qlsp_connect(qlsp_settings());
    echo $actions[$action]($db);
}, 'text/plain');
