# Writes DIR/sw.js from IN, its version the digest of the files the
# service worker keeps, so that a new build replaces what a player's browser
# kept of the old one.
file(GLOB files ${DIR}/*)
list(FILTER files EXCLUDE REGEX "/sw\\.js$")
list(SORT files)
set(all "")
foreach(file ${files})
  file(SHA256 ${file} digest)
  string(APPEND all "${digest}")
endforeach()
string(SHA256 VERSION "${all}")
string(SUBSTRING ${VERSION} 0 16 VERSION)
configure_file(${IN} ${DIR}/sw.js @ONLY)
