# Prints the entries of an apt sources file for the Debian release `code` (the release, its
# updates and its security suite), component main, as one-line sources; the file may be in
# the one-line format or in deb822. Only signed-by of an entry's options is kept: the guest
# needs both of its architectures from every entry.
# Usage: awk -v code=bookworm -f debian-sources.awk FILE
function wanted(suite) {
    return suite == code || suite == code "-updates" || suite == code "-security"
}
function emit(signed, uri, suite) {
    printf "deb %s%s %s main\n", signed == "" ? "" : "[signed-by=" signed "] ", uri, suite
}
function stanza(    n, m, i, j, u, s) {
    if (types ~ /(^| )deb( |$)/ && tolower(enabled) != "no" && components ~ /(^| )main( |$)/) {
        n = split(uris, u, " ")
        m = split(suites, s, " ")
        for (i = 1; i <= n; i++)
            for (j = 1; j <= m; j++)
                if (wanted(s[j])) emit(signedby, u[i], s[j])
    }
    types = uris = suites = components = signedby = enabled = ""
}
/^[ \t]*#/ { next }
/^[ \t]*$/ { stanza(); next }
$1 == "deb" {
    signed = ""
    i = 2
    if ($2 ~ /^\[/) {
        for (; i <= NF; i++) {
            if (match($i, /signed-by=[^] ]*/)) signed = substr($i, RSTART + 10, RLENGTH - 10)
            if ($i ~ /\]$/) { i++; break }
        }
    }
    main = 0
    for (j = i + 2; j <= NF; j++) if ($j == "main") main = 1
    if (main && wanted($(i + 1))) emit(signed, $i, $(i + 1))
    next
}
/^[A-Za-z-]+:/ {
    field = tolower(substr($0, 1, index($0, ":") - 1))
    value = substr($0, index($0, ":") + 1)
    gsub(/^[ \t]+|[ \t]+$/, "", value)
    if (field == "types") types = value
    else if (field == "uris") uris = value
    else if (field == "suites") suites = value
    else if (field == "components") components = value
    else if (field == "signed-by") signedby = value
    else if (field == "enabled") enabled = value
}
END { stanza() }
