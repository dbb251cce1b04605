# Writes the AppStream metainfo with this build's version and date (UTC, or SOURCE_DATE_EPOCH for a
# reproducible build). The file is rewritten only when its text changes.
# Expects: TEMPLATE, OUTPUT, PROJECT_VERSION.
string(TIMESTAMP GRUMBLIX_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
