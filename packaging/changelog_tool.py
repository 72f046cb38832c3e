#!/usr/bin/env python3
"""Reads packaging/changelog (Debian's format, newest entry first), the one
history of Quipular's versions: prints the newest package version, or the
AppStream <release> elements, one per upstream version,
newest first.

Usage: changelog_tool.py version|releases CHANGELOG
"""
import email.utils
import re
import sys


def entries(path):
    """(package version, date as YYYY-MM-DD) of each entry, newest first."""
    found, version = [], None
    with open(path, encoding="utf-8") as f:
        for line in f:
            head = re.match(r"^quipular \(([^)]+)\) ", line)
            if head:
                version = head.group(1)
            trailer = re.match(r"^ -- .+?  (.+)$", line.rstrip("\n"))
            if trailer and version:
                when = email.utils.parsedate_to_datetime(trailer.group(1))
                found.append((version, when.strftime("%Y-%m-%d")))
                version = None
    if not found:
        sys.exit("%s: no entry" % path)
    return found


def main():
    command, path = sys.argv[1], sys.argv[2]
    found = entries(path)
    if command == "version":
        print(found[0][0])
    elif command == "releases":
        # A release is dated by its first package; later Debian revisions of
        # the same version are packaging only.
        first = {}
        for version, date in found:
            first[version.rsplit("-", 1)[0]] = date
        for upstream, date in first.items():
            print('    <release version="%s" date="%s"/>' % (upstream, date))
    else:
        sys.exit("unknown command " + command)


main()
