<?php
// The least a script can answer a visitor's page with: an ad id, the same every time, with no
// database behind it.
echo '1';
