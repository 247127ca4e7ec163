# The hardening check of installed ELF files, sourced by the package test after InstalledTree.sh
# (it uses fault). check_elf_hardening ROOT checks every ELF file under ROOT with readelf:
#   - BIND_NOW (FLAGS BIND_NOW or FLAGS_1 NOW) and a GNU_RELRO segment: full RELRO;
#   - PIE: an executable of type DYN;
#   - a stack canary: the file imports __stack_chk_fail;
#   - FORTIFY: the file imports a checked function (__*_chk other than __stack_chk_fail).
#     A file that imports none of the functions FORTIFY can check (the list below, as the C
#     library has them) has nothing to fortify and passes with a note; a file that imports some
#     of them but not one checked variant was built without FORTIFY. FORTIFY keeps the plain
#     function where the compiler cannot know the object's size, so a fortified file may import
#     both, which is fine;
#   - no .comment section (the compilers' names; the package strips it).

fortifiable_functions='asprintf|confstr|dprintf|explicit_bzero|fdelt|fgets|fgets_unlocked|fprintf|fread|fread_unlocked|getcwd|getdomainname|getgroups|gethostname|getlogin_r|longjmp|mbsnrtowcs|mbsrtowcs|mbstowcs|memcpy|memmove|mempcpy|memset|poll|ppoll|pread|pread64|printf|read|readlink|readlinkat|realpath|recv|recvfrom|snprintf|sprintf|stpcpy|stpncpy|strcat|strcpy|strncat|strncpy|syslog|ttyname_r|vasprintf|vdprintf|vfprintf|vprintf|vsnprintf|vsprintf|vsyslog|wcrtomb|wcsnrtombs|wcsrtombs|wcstombs|wctomb|wmemcpy|wmemmove|wmemset'

# The dynamic symbols FILE imports, one name a line, without version.
imported_symbols() {
    readelf --dyn-syms -W "$1" 2>/dev/null |
        awk '$7 == "UND" && $8 != "" { sub(/@.*/, "", $8); print $8 }' | sort -u
}

check_elf_file() {
    local file=$1 name=$2 imports dynamic
    dynamic=$(readelf -d -W "$file" 2>/dev/null)
    if ! grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*\bNOW\b' <<<"$dynamic"; then
        fault "$name: no BIND_NOW (link with -z now)"
    fi
    if ! readelf -l -W "$file" 2>/dev/null | grep -q 'GNU_RELRO'; then
        fault "$name: no GNU_RELRO segment (link with -z relro)"
    fi
    if [[ $(readelf -h "$file" 2>/dev/null | sed -n 's/^ *Type: *\([A-Z]*\).*/\1/p') != DYN ]]; then
        fault "$name: not position-independent (type is not DYN)"
    fi
    if readelf -S -W "$file" 2>/dev/null | grep -q ' \.comment '; then
        fault "$name: still has a .comment section"
    fi
    imports=$(imported_symbols "$file")
    if ! grep -qx '__stack_chk_fail' <<<"$imports"; then
        fault "$name: no stack canary (no __stack_chk_fail import)"
    fi
    if grep -Eq '^__.*_chk$' <<<"$(grep -vx '__stack_chk_fail' <<<"$imports")"; then
        :
    elif grep -Eqx "$fortifiable_functions" <<<"$imports"; then
        fault "$name: calls $(grep -Ex "$fortifiable_functions" <<<"$imports" | head -3 |
            paste -sd, -) but no checked variant (built without FORTIFY)"
    else
        echo "$name: imports no function that FORTIFY can check"
    fi
}

check_elf_hardening() {
    local root=$1 file count=0
    while IFS= read -r -d '' file; do
        [[ $(head -c4 "$file" | od -An -c | tr -d ' ') == '177ELF' ]] || continue
        count=$((count + 1))
        check_elf_file "$file" "${file#"$root"/}"
    done < <(find "$root" -type f -print0)
    ((count > 0)) || fault "no ELF file under $root"
    echo "$count ELF files checked for hardening"
}
