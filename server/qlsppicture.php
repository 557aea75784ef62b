<?php
// The owner's upload of an ad's picture into the scripts' "Pictures/" folder, where the
// display script's links find it. The bytes come as an ordinary form field, so that the
// signature covers them like every other value.

declare(strict_types=1);

const QLSP_PICTURE_MAX_BYTES = 5 << 20;
// What a name may end in, and the only type its bytes may then hold. No SVG: a picture that
// can carry script would run it on the owner's own site.
const QLSP_PICTURE_TYPES = ['jpg' => IMAGETYPE_JPEG, 'jpeg' => IMAGETYPE_JPEG,
    'png' => IMAGETYPE_PNG, 'gif' => IMAGETYPE_GIF, 'webp' => IMAGETYPE_WEBP];
// A temporary file a killed upload left behind is removed by a later one after this long.
const QLSP_PICTURE_TEMP_LIFE = 3600;

// The type the name promises, or a refusal. The name never leads out of the folder, never
// hides (a leading dot), and is the same on every host's file system.
function qlsp_picture_type(string $name): int
{
    if (preg_match('/\A(?!\.)[A-Za-z0-9._-]{1,100}\z/', $name) !== 1) {
        throw new Refusal(400, 'BAD PICTURE NAME');
    }
    $extension = strtolower((string)pathinfo($name, PATHINFO_EXTENSION));
    if (!isset(QLSP_PICTURE_TYPES[$extension])) {
        throw new Refusal(400, 'BAD PICTURE NAME');
    }
    return QLSP_PICTURE_TYPES[$extension];
}

function qlsp_check_picture(string $data, int $type): void
{
    if (strlen($data) > QLSP_PICTURE_MAX_BYTES) {
        throw new Refusal(400, 'PICTURE TOO LARGE');
    }
    try {
        $info = getimagesizefromstring($data);
    } catch (ErrorException $error) {
        $info = false;  // bytes that break off inside a picture's header
    }
    if ($info === false || $info[2] !== $type || $info[0] < 1 || $info[1] < 1) {
        throw new Refusal(400, 'BAD PICTURE');
    }
}

function qlsp_pictures_folder(): string
{
    $folder = __DIR__ . '/Pictures';
    try {
        if (!is_dir($folder)) {
            mkdir($folder, 0755);
        }
    } catch (ErrorException $error) {
        // Two first uploads at once: the other one has just made it.
        if (!is_dir($folder)) {
            throw $error;
        }
    }
    $now = time();
    foreach (glob($folder . '/.upload-*') ?: [] as $left) {
        try {
            if (filemtime($left) < $now - QLSP_PICTURE_TEMP_LIFE) {
                unlink($left);
            }
        } catch (ErrorException $error) {
            // Another upload removed it first.
        }
    }
    return $folder;
}

// Writes the whole file under a hidden name of its own, so a page never shows half a
// picture, whenever the upload stops.
function qlsp_picture_temp(string $folder, string $data): string
{
    $temp = $folder . '/.upload-' . bin2hex(random_bytes(8));
    $file = fopen($temp, 'xb');
    try {
        if (fwrite($file, $data) !== strlen($data) || !fflush($file)) {
            throw new RuntimeException('cannot write ' . $temp);
        }
    } finally {
        fclose($file);
    }
    chmod($temp, 0644);
    return $temp;
}

// Gives the written file its name unless a picture already has it; false when one has.
function qlsp_picture_place(string $temp, string $target, bool $replace): bool
{
    if ($replace) {
        rename($temp, $target);
        return true;
    }
    // A link fails when the name is taken, in the same step as it looks: two uploads of one
    // name at once cannot both think it free.
    try {
        link($temp, $target);
        return true;
    } catch (ErrorException $error) {
        if (file_exists($target)) {
            return false;
        }
        throw $error;
    }
}

function qlsp_upload_picture(PDO $db, array $form): string
{
    $name = qlsp_field($form, 'ad_picture');
    $type = qlsp_picture_type($name);
    $data = qlsp_field($form, 'picture_data');
    qlsp_check_picture($data, $type);
    $replace = ($form['replace'] ?? '') === '1';
    $folder = qlsp_pictures_folder();
    $target = $folder . '/' . $name;
    if (!$replace && file_exists($target)) {
        return 'EXIST PICTURE';
    }
    $temp = qlsp_picture_temp($folder, $data);
    try {
        return qlsp_picture_place($temp, $target, $replace) ? 'OK' : 'EXIST PICTURE';
    } finally {
        if (file_exists($temp)) {
            unlink($temp);
        }
    }
}
