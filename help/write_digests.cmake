# Writes velmora.sha256 into the folder DIR: the SHA-256 digest and the name of each file of FILES
# (a comma-separated list), one "digest  name" line each, as sha256sum writes them. The help
# reader checks the packed files against it; the CHM format has no checksum of its own.
#   cmake -DDIR=<folder> -DFILES=a.html,b.css -P write_digests.cmake
string(REPLACE "," ";" files "${FILES}")
set(lines "")
foreach(name IN LISTS files)
    file(SHA256 "${DIR}/${name}" digest)
    string(APPEND lines "${digest}  ${name}\n")
endforeach()
file(WRITE "${DIR}/velmora.sha256" "${lines}")
