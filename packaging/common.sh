# Helpers shared by the packaging scripts (sourced, not run).

# Plain text for Windows readers: CRLF line ends.
windows_text() { sed 's/\r*$/\r/' "$1" >"$2"; }

# Fixed permissions, and SOURCE_DATE_EPOCH (when set) as every time stamp.
normalise_tree() {
  find "$1" -type d -exec chmod 0755 {} +
  find "$1" -type f -exec chmod 0644 {} +
  if [[ -n "${SOURCE_DATE_EPOCH:-}" ]]; then
    find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  fi
}
