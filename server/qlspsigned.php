<?php
// The owner's posts to the actions script: the form as it was sent, and the check that the
// owner's client signed it with the key of the settings. Without that check anyone who knows
// the site's address could delete every ad.
//
// The client sends "X-Quillspot-Signature: t=T,n=N,v1=S": T its clock in seconds since 1970,
// N 16 random bytes as hex, S the HMAC-SHA256, keyed with the owner key's bytes, of
// "qlsp-v1" LF T LF N LF and the body's bytes, as hex.

declare(strict_types=1);

// How far the client's clock may be from the server's, either way, in seconds.
const QLSP_CLOCK_SLACK = 300;
// A nonce is kept while a post carrying it could still pass the clock check.
const QLSP_NONCE_LIFE = 2 * QLSP_CLOCK_SLACK;

// The form's fields in their order and the body's bytes, as the client sent them. PHP keeps
// a multipart body only when it does not read it itself (enable_post_data_reading off);
// otherwise the body is made again from the fields in the client's own layout, which is
// the same bytes for a form the client sent, and other bytes, failing the check, for any
// other layout.
function qlsp_posted_form(): array
{
    if (qlsp_post_too_large()) {
        throw new Refusal(413, 'TOO LARGE');
    }
    $type = $_SERVER['CONTENT_TYPE'] ?? '';
    if (preg_match('~\Amultipart/form-data; boundary=([0-9A-Za-z\'()+_,./:=?-]{1,70})\z~', $type,
            $match) !== 1 || $_FILES !== []) {
        throw new Refusal(400, 'BAD FORM');
    }
    $boundary = $match[1];
    $raw = file_get_contents('php://input');
    if ($raw !== '' && $raw !== false) {
        $fields = qlsp_parse_form($raw, $boundary);
        $body = $raw;
    } else {
        $fields = $_POST;
        if (in_array(false, array_map('is_string', $fields), true)) {
            throw new Refusal(400, 'BAD FORM');
        }
        $body = qlsp_form_body($fields, $boundary);
    }
    // The client's last field is "end": a form cut short has lost it.
    if ($fields === null || (string)array_key_last($fields) !== 'end') {
        throw new Refusal(400, 'INCOMPLETE FORM');
    }
    return ['fields' => $fields, 'body' => $body];
}

// PHP drops the whole body of a post over post_max_size, with a warning and no field.
function qlsp_post_too_large(): bool
{
    $limit = trim((string)ini_get('post_max_size'));
    $units = ['k' => 1 << 10, 'm' => 1 << 20, 'g' => 1 << 30];
    $bytes = (int)$limit * ($units[strtolower(substr($limit, -1))] ?? 1);
    return $bytes > 0 && (int)($_SERVER['CONTENT_LENGTH'] ?? 0) > $bytes;
}

function qlsp_form_body(array $fields, string $boundary): string
{
    $body = '';
    foreach ($fields as $name => $value) {
        $body .= '--' . $boundary . "\r\nContent-Disposition: form-data; name=\"" . $name
            . "\"\r\n\r\n" . $value . "\r\n";
    }
    return $body . '--' . $boundary . "--\r\n";
}

// The fields of a body laid out exactly as qlsp_form_body lays them out, or null.
function qlsp_parse_form(string $body, string $boundary): ?array
{
    $open = '--' . $boundary . "\r\n";
    $close = "\r\n--" . $boundary . "--\r\n";
    if (!str_starts_with($body, $open) || !str_ends_with($body, $close)
            || strlen($body) < strlen($open) + strlen($close)) {
        return null;
    }
    $fields = [];
    $inner = substr($body, strlen($open), -strlen($close));
    foreach (explode("\r\n" . $open, $inner) as $part) {
        if (preg_match('/\AContent-Disposition: form-data; name="([^"\\\\\r\n\[\]]+)"\r\n\r\n/',
                $part, $match) !== 1 || isset($fields[$match[1]])) {
            return null;
        }
        $fields[$match[1]] = substr($part, strlen($match[0]));
    }
    return $fields;
}

// Refuses the post unless the owner key of the settings signed it, and signed it for the
// first time; the nonce is recorded in the same transaction as it is looked up.
function qlsp_check_signature(PDO $db, ?string $ownerKey, string $body): void
{
    if ($ownerKey === null) {
        throw new Refusal(403, 'NO OWNER KEY');
    }
    $header = $_SERVER['HTTP_X_QUILLSPOT_SIGNATURE'] ?? '';
    if (!is_string($header)
            || preg_match('/\At=([0-9]{1,18}),n=([0-9a-f]{32}),v1=([0-9a-f]{64})\z/', $header,
                $match) !== 1) {
        throw new Refusal(403, 'BAD SIGNATURE');
    }
    [, $time, $nonce, $signature] = $match;
    $expected = hash_hmac('sha256', "qlsp-v1\n$time\n$nonce\n" . $body, hex2bin($ownerKey));
    // Only a post made with the key learns whether its clock or its nonce failed.
    if (!hash_equals($expected, $signature)) {
        throw new Refusal(403, 'BAD SIGNATURE');
    }
    $now = time();
    if (abs($now - (int)$time) > QLSP_CLOCK_SLACK) {
        throw new Refusal(403, 'STALE SIGNATURE');
    }
    qlsp_use_nonce($db, $nonce, $now);
}

function qlsp_use_nonce(PDO $db, string $nonce, int $now): void
{
    $db->beginTransaction();
    try {
        $db->prepare('DELETE FROM qlsp_nonces WHERE seen < ?')->execute([$now - QLSP_NONCE_LIFE]);
        // The key makes the lookup and the record one step, also for two posts at once.
        $db->prepare('INSERT INTO qlsp_nonces (nonce, seen) VALUES (?, ?)')->execute([$nonce, $now]);
        $db->commit();
    } catch (PDOException $error) {
        $db->rollBack();
        if ($error->getCode() === '23000') {
            throw new Refusal(403, 'REPLAYED SIGNATURE');
        }
        throw $error;
    }
}
