#!/usr/bin/env python3
"""No Russian text in the sources escapes translation, and the English catalogues translate every
text they hold, keeping its numbered arguments and its menu accelerator.

    python3 tests/check_translations.py [SOURCE_DIR]

Prints one line per fault and exits 1 if there is any. A source check, not a run of the program:
it reads the C++ sources as lupdate does, so a text shown without tr() is found before a user
sees it untranslated.
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[1])
CALLS = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP"}
CYRILLIC = re.compile("[\u0400-\u04ff]")
# Left to right, whichever comes first: a comment, a character, a raw string or a string literal.
TOKEN = re.compile(
    r"""//[^\n]*|/\*.*?\*/|'(?:\\.|[^'\\\n])*'"""
    r"""|\b(?:u8|[uUL])?R"(?P<delim>[^(\s]*)\((?P<raw>.*?)\)(?P=delim)"|"(?P<text>(?:\\.|[^"\\\n])*)\"""",
    re.S)
# The call a literal is an argument of, after a context argument ("Ctx", ) if there is one.
CALLER = re.compile(r'(\w+)\s*\(\s*(?:"[^"]*"\s*,\s*)?$')
ESCAPES = {"n": "\n", "t": "\t"}


def literals(src):
    """(line, text, caller) of each literal; adjacent literals "a" "b" are one."""
    found, last_end = [], None
    for m in TOKEN.finditer(src):
        text = m.group("raw") if m.group("raw") is not None else m.group("text")
        if text is None:
            last_end = None
            continue
        if last_end is not None and not src[last_end:m.start()].strip():
            found[-1][1] += text
        else:
            caller = CALLER.search(src[max(0, m.start() - 300):m.start()])
            found.append([src.count("\n", 0, m.start()) + 1, text, caller.group(1) if caller else "no call"])
        last_end = m.end()
    return found


def unescape(text):  # as lupdate reads the sources' escapes
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def catalogue():
    """source text -> [(context, translation or None if unfinished)]"""
    entries = {}
    for name in ("tinkla_core_en.ts", "tinkla_ui_en.ts"):
        for context in ET.parse(ROOT / "res/i18n" / name).getroot().iter("context"):
            for message in context.iter("message"):
                translation = message.find("translation")
                done = translation.get("type") is None and translation.text
                entries.setdefault(message.findtext("source"), []).append(
                    (context.findtext("name"), translation.text if done else None))
    return entries


def placeholders(text):
    return sorted(re.findall(r"%(\d)", text))


def accelerated(text):
    return "&" in text.replace("&&", "")


faults = []
entries = catalogue()
russian = 0
for path in sorted((ROOT / "src").rglob("*.[ch]*")):
    if path.suffix not in (".cpp", ".h"):
        continue
    for line, text, caller in literals(path.read_text(encoding="utf-8")):
        if not CYRILLIC.search(text):
            continue
        russian += 1
        at = f'{path.relative_to(ROOT)}:{line}: "{text[:60]}"'
        if caller not in CALLS:
            faults.append(f"{at} is shown untranslated (inside {caller}, not tr or translate)")
        found = entries.get(unescape(text))
        if found is None:
            faults.append(f"{at} is missing from the English catalogue "
                          "(cmake --build build --target update_translations)")
        elif any(english is None for _, english in found):
            faults.append(f"{at} has no finished English translation")
if russian < 100:
    faults.append(f"only {russian} Russian texts in {ROOT / 'src'}: the sources were not read")

for source, found in entries.items():
    for context, english in found:
        at = f"{context}: {source!r} -> {english!r}"
        if english is None:
            faults.append(f"{at} is not translated")
        elif (CYRILLIC.search(english) or placeholders(english) != placeholders(source)
              or accelerated(english) != accelerated(source)):
            faults.append(f"{at} loses its arguments or accelerator, or is still Russian")

print("\n".join(faults) or f"{russian} Russian texts, {len(entries)} catalogue texts: all English")
sys.exit(1 if faults else 0)
