#!/usr/bin/env python3
"""Reads an export back as a reader of the format would and compares it with the expected records.

    readback.py csv|xml EXPORT EXPECTED

EXPECTED holds one record a line, its values as the hex digits of their UTF-8 bytes, separated by
commas. Prints the first difference and exits 1 when the export does not hold exactly those records.
"""
import csv
import sys
import xml.etree.ElementTree as ET


def read_csv(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        return [row for row in csv.reader(f)]


def read_xml(path):
    root = ET.parse(path).getroot()
    if root.tag != "data":
        raise ValueError("root element is " + root.tag)
    return [[item.text or "" for item in record.findall("item")] for record in root.find("recordlist").findall("record")]


def main():
    kind, export, expected_path = sys.argv[1:4]
    with open(expected_path, encoding="ascii") as f:
        expected = [[bytes.fromhex(v).decode("utf-8") for v in line.rstrip("\n").split(",")] for line in f if line != "\n"]
    got = read_csv(export) if kind == "csv" else read_xml(export)
    if got != expected:
        for i, (g, e) in enumerate(zip(got, expected)):
            if g != e:
                print("record %d: read %r, expected %r" % (i, g, e))
                break
        else:
            print("read %d records, expected %d" % (len(got), len(expected)))
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
