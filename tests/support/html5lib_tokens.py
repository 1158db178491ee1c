#!/usr/bin/env python3
"""Prints the html5lib tokenizer tests of the given .test files in a form a C++ test reads
without a JSON parser: one test a line, its fields hexadecimal UTF-8, separated by tabs:
description, input, initial state, last start tag, expected tokens. Tokens are separated by
\\x1e, their fields by \\x1f: T text (adjacent texts joined), S name selfclosing("/" or "")
then attribute name and value pairs, E name, C text. Tests the reader does not take on are
left out: doctypes, CR, NUL and lone surrogates in the input (pages are read as bytes up to
their first zero byte), CDATA sections, double-escaped texts."""
import json
import sys

FIELD, TOKEN = "\x1f", "\x1e"


def tokens(output):
    out = []
    for token in output:
        kind = token[0]
        if kind == "Character":
            if out and out[-1].startswith("T" + FIELD):
                out[-1] += token[1]
            else:
                out.append("T" + FIELD + token[1])
        elif kind == "StartTag":
            fields = ["S", token[1], "/" if len(token) > 3 and token[3] else ""]
            for name, value in token[2].items():
                fields += [name, value]
            out.append(FIELD.join(fields))
        elif kind == "EndTag":
            out.append("E" + FIELD + token[1])
        elif kind == "Comment":
            out.append("C" + FIELD + token[1])
        else:
            return None
    return TOKEN.join(out)


def hexed(text):
    return text.encode("utf-8").hex()


def taken(test):
    text = test["input"]
    if test.get("doubleEscaped") or "\r" in text or "\0" in text:
        return False
    try:
        text.encode("utf-8")
    except UnicodeEncodeError:
        return False
    return True


for path in sys.argv[1:]:
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    for test in data.get("tests", []):
        if not taken(test):
            continue
        expected = tokens(test["output"])
        if expected is None:
            continue
        try:
            expected.encode("utf-8")
        except UnicodeEncodeError:
            continue
        for state in test.get("initialStates", ["Data state"]):
            if state == "CDATA section state":
                continue
            print("\t".join([hexed(test["description"]), hexed(test["input"]), hexed(state),
                             hexed(test.get("lastStartTag", "")), hexed(expected)]))
