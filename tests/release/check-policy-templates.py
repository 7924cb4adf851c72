#!/usr/bin/env python3
"""The Group Policy templates as Windows reads them, against what the program reads: every
text and presentation the ADMX names is in each language's ADML, the key and value names are
the program's, and the ranges and defaults are its own; the languages are exactly those given
(the program's language table, from scripts/policy-languages.sh).
Usage: check-policy-templates.py DIR LANGUAGE..."""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
root = Path(__file__).resolve().parents[2]
if len(sys.argv) < 3:
    sys.exit(__doc__)
folder = Path(sys.argv[1])
languages = sys.argv[2:]
problems = []


def code_value(path, pattern):
    found = re.search(pattern, (root / path).read_text(encoding="utf-8"))
    if not found:
        problems.append(f"{path}: no match for {pattern}")
        return None
    return found.group(1)


policy_key = code_value("core/keep/KeepSettings.h", r'kPolicy = L"([^"]+)"').replace("\\\\", "\\")
names = {n: code_value("core/keep/KeepSettings.h", rf'{n} = L"([^"]+)"')
         for n in ("kKeep", "kDays", "kMegabytes")}
max_days = int(code_value("core/keep/KeepSettings.cpp", r"kMaxDays = (\d+);"))
max_mb = eval(code_value("core/keep/KeepSettings.cpp", r"kMaxMegabytes = ([\d *]+);"))
default_days = code_value("core/keep/KeepSettings.h", r"days = (\d+);")
default_mb = str((1 << int(code_value("core/keep/KeepSettings.h", r"bytes = 1ull << (\d+);"))) >> 20)

admx_text = (folder / "Kestrave.admx").read_text(encoding="utf-8")
admx = ET.fromstring(admx_text)
strings = set(re.findall(r"\$\(string\.(\w+)\)", admx_text))
presentations = set(re.findall(r"\$\(presentation\.(\w+)\)", admx_text))
elements = {e.get("id"): e for e in admx.iterfind(".//p:elements/*", NS)}
value_names = {p.get("valueName") for p in admx.iterfind(".//p:policy", NS) if p.get("valueName")}
value_names |= {e.get("valueName") for e in elements.values()}
if value_names != set(names.values()):
    problems.append(f"value names {sorted(value_names)} are not the program's {sorted(names.values())}")
for p in admx.iterfind(".//p:policy", NS):
    if p.get("key") != policy_key or p.get("class") != "Machine":
        problems.append(f"policy {p.get('name')}: key {p.get('key')} class {p.get('class')}")
ranges = {names["kDays"]: ("1", str(max_days)), names["kMegabytes"]: ("1", str(max_mb))}
for e in elements.values():
    want = ranges.get(e.get("valueName"))
    if want != (e.get("minValue"), e.get("maxValue")):
        problems.append(f"{e.get('valueName')}: range {e.get('minValue')}..{e.get('maxValue')}, the program takes {want}")

defaults = {"KeepDays": default_days, "KeepMegabytes": default_mb}
present = sorted(p.parent.name for p in folder.glob("*/Kestrave.adml"))
if present != sorted(languages):
    problems.append(f"texts for {present}, the program speaks {sorted(languages)}")
for language in languages:
    if not (folder / language / "Kestrave.adml").is_file():
        continue
    adml = ET.parse(folder / language / "Kestrave.adml").getroot()
    have = {s.get("id"): (s.text or "") for s in adml.iterfind(".//p:string", NS)}
    for missing in sorted(strings - have.keys()):
        problems.append(f"{language}: no string {missing}")
    for empty in sorted(k for k, v in have.items() if not v.strip()):
        problems.append(f"{language}: string {empty} is empty")
    shown = {p.get("id"): p for p in adml.iterfind(".//p:presentation", NS)}
    for missing in sorted(presentations - shown.keys()):
        problems.append(f"{language}: no presentation {missing}")
    for box in adml.iterfind(".//p:decimalTextBox", NS):
        if box.get("refId") not in elements:
            problems.append(f"{language}: a box for {box.get('refId')}, which the ADMX lacks")
        elif box.get("defaultValue") != defaults[box.get("refId")]:
            problems.append(f"{language}: {box.get('refId')} defaults to {box.get('defaultValue')}, the program to {defaults[box.get('refId')]}")

for p in problems:
    print("policy templates:", p)
print(f"policy templates: {'ok' if not problems else f'{len(problems)} problems'}")
sys.exit(1 if problems else 0)
