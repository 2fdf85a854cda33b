#!/usr/bin/env bash
# Fails on an #include that reaches up the layers of src/:
#
#   src/platform     includes nothing of the program above it
#   src/app          includes src/platform only
#   subsystems       (security, refdata, tools, ...) include platform, app and
#                    each other, but never src/workspace, which only the
#                    program (src/main) puts together
#
# Every offending line is printed as file:line with the rule it breaks.
# Quoted includes are resolved as the compiler does (beside the file, then
# from src/), so "../app/X.h" is caught too; a Designer form's custom-widget
# <header> counts as an include of the form's folder.
#
#   check-layers.sh [SRC_DIR]     check a tree (default: the project's src/)
#   check-layers.sh --self-test   check that the rules catch what they should
set -u
shopt -s nullglob

# Helpers set REPLY rather than print: a subshell per include makes the check
# take minutes on a busy machine.

top_of() # the folder directly under src/ that holds a path relative to src/
{
    case $1 in
    */*) REPLY=${1%%/*} ;;
    *) REPLY= ;;
    esac
}

normalize() # a path relative to src/ without "." and ".." steps
{
    local part
    local -a parts out=()
    IFS=/ read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        case $part in
        '' | .) ;;
        ..)
            if ((${#out[@]} > 0)) && [[ ${out[-1]} != .. ]]; then
                unset 'out[-1]'
            else
                out+=(..)
            fi
            ;;
        *) out+=("$part") ;;
        esac
    done
    local IFS=/
    REPLY="${out[*]}"
}

# The rule an include from folder $1 of folder $2 breaks; empty when allowed.
broken_rule()
{
    local from=$1 to=$2
    REPLY=
    [[ -z $to || $from == "$to" ]] && return
    case $from in
    platform)
        REPLY="src/platform must not include src/app or any subsystem (here src/$to)" ;;
    app)
        [[ $to == platform ]] || REPLY="src/app must not include a subsystem (here src/$to)" ;;
    main)
        ;;
    *)
        [[ $to == workspace || $to == main ]] \
            && REPLY="subsystems must not include src/$to: only the program (src/main) includes src/workspace" ;;
    esac
}

# The path relative to src/ that an include names, or empty when it is not
# one of ours (Qt, the standard library, generated ui_ headers).
# $1 source file relative to src/, $2 the included name, $3 quote or angle.
resolve()
{
    local file=$1 name=$2 kind=$3 dir=.
    [[ $file == */* ]] && dir=${file%/*}
    REPLY=
    if [[ $kind == quote && ( -e $src/$dir/$name || $name == ../* || $name == ./* ) ]]; then
        normalize "$dir/$name"
        return
    fi
    # from the include path, which is src/ itself
    top_of "$name"
    if [[ -n $REPLY && -d $src/$REPLY ]]; then
        normalize "$name"
    else
        REPLY=
    fi
}

check_tree()
{
    src=$(cd "$1" && pwd) || return 2
    local violations=0 file line text name kind target from rule
    local quoted='include[[:space:]]*"([^"]+)"' angled='include[[:space:]]*<([^>]+)>'
    while IFS= read -r -d '' path; do
        file=${path#"$src"/}
        top_of "$file"
        from=$REPLY
        [[ -z $from ]] && continue
        while IFS= read -r hit; do
            line=${hit%%:*}
            text=${hit#*:}
            if [[ $file == *.ui ]]; then
                name=${text#*<header>}
                name=${name%%</header>*}
                kind=angle
            elif [[ $text =~ $quoted ]]; then
                name=${BASH_REMATCH[1]}
                kind=quote
            elif [[ $text =~ $angled ]]; then
                name=${BASH_REMATCH[1]}
                kind=angle
            else
                continue
            fi
            resolve "$file" "$name" "$kind"
            target=$REPLY
            [[ $target == ../* ]] && continue
            top_of "$target"
            broken_rule "$from" "$REPLY"
            rule=$REPLY
            if [[ -n $rule ]]; then
                echo "src/$file:$line: $name: $rule"
                violations=$((violations + 1))
            fi
        done < <(
            if [[ $file == *.ui ]]; then
                grep -noE '<header>[^<]+</header>' "$path"
            else
                grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$path"
            fi
        )
    done < <(find "$src" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.ui' \) -print0 | sort -z)
    if ((violations > 0)); then
        echo "$violations include(s) reach up the layers"
        return 1
    fi
    echo "includes keep to the layers"
    return 0
}

self_test()
{
    local tmp out status expected
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' RETURN
    mkdir -p "$tmp"/src/{platform,app,security,refdata,workspace,main,tools/main}
    touch "$tmp"/src/platform/Config.h "$tmp"/src/app/TdmData.h "$tmp"/src/security/Permissions.h \
        "$tmp"/src/refdata/CategoryTree.h "$tmp"/src/workspace/TFrmMain.h
    cat >"$tmp"/src/platform/Config.cpp <<'EOF'
#include "Config.h"
#include <QString>
#include "app/TdmData.h"
// #include "workspace/TFrmMain.h"
  #  include <security/Permissions.h>
EOF
    cat >"$tmp"/src/platform/Other.h <<'EOF'
#pragma once
#include "../refdata/CategoryTree.h"
EOF
    cat >"$tmp"/src/app/TdmData.cpp <<'EOF'
#include "TdmData.h"
#include "platform/Config.h"
#include "refdata/CategoryTree.h"
#include "ui_TdmData.h"
EOF
    cat >"$tmp"/src/refdata/CategoryTree.cpp <<'EOF'
#include "CategoryTree.h"
#include "app/TdmData.h"
#include "security/Permissions.h"
#include "workspace/TFrmMain.h"
EOF
    cat >"$tmp"/src/security/Form.ui <<'EOF'
<ui><customwidgets><customwidget><header>platform/Config.h</header></customwidget><customwidget><header>workspace/TFrmMain.h</header></customwidget></customwidgets></ui>
EOF
    cat >"$tmp"/src/workspace/TFrmMain.cpp <<'EOF'
#include "TFrmMain.h"
#include "security/Permissions.h"
#include "refdata/CategoryTree.h"
EOF
    cat >"$tmp"/src/main/main.cpp <<'EOF'
#include "workspace/TFrmMain.h"
EOF
    cat >"$tmp"/src/tools/main/Tool.cpp <<'EOF'
#include "app/TdmData.h"
#include "../../workspace/TFrmMain.h"
EOF
    out=$(check_tree "$tmp/src")
    status=$?
    expected='src/app/TdmData.cpp:3
src/platform/Config.cpp:3
src/platform/Config.cpp:5
src/platform/Other.h:2
src/refdata/CategoryTree.cpp:4
src/security/Form.ui:1
src/tools/main/Tool.cpp:2'
    local found
    found=$(grep -oE '^src/[^:]+:[0-9]+' <<<"$out" | sort)
    if [[ $status -ne 1 || $found != "$expected" ]]; then
        echo "self-test failed: exit $status, output:"
        echo "$out"
        echo "expected the offending lines:"
        echo "$expected"
        return 1
    fi
    # every rule names itself
    grep -q 'src/platform/Config.cpp:3: app/TdmData.h: src/platform must not include' <<<"$out" || { echo "$out"; return 1; }
    grep -q 'src/app/TdmData.cpp:3: .*src/app must not include a subsystem' <<<"$out" || { echo "$out"; return 1; }
    grep -q 'src/refdata/CategoryTree.cpp:4: .*only the program (src/main) includes src/workspace' <<<"$out" || { echo "$out"; return 1; }
    # and a tree without them passes
    rm "$tmp"/src/platform/Other.h "$tmp"/src/security/Form.ui "$tmp"/src/tools/main/Tool.cpp
    sed -i '/app\/TdmData.h\|Permissions.h/d' "$tmp"/src/platform/Config.cpp
    sed -i '/refdata/d' "$tmp"/src/app/TdmData.cpp
    sed -i '/workspace/d' "$tmp"/src/refdata/CategoryTree.cpp
    out=$(check_tree "$tmp/src") || { echo "self-test failed: a clean tree was refused:"; echo "$out"; return 1; }
    echo "self-test passed"
}

if [[ ${1:-} == --self-test ]]; then
    self_test
else
    check_tree "${1:-$(dirname "$0")/../../src}"
fi
