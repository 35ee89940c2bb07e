#!/usr/bin/env python3
"""Checks that a compiled help.chm is a valid CHM file that holds the Velmora help.

The file is unpacked with extract_chmLib (Debian package libchm-bin), an independent reader of the format.
The check passes only when:
  - the file has the CHM signature and the reader opens and unpacks it;
  - every expected page is inside with its title, together with the style sheet, the table of contents,
    the index and the compiler's own tables, and no other page is;
  - the title and default page recorded in the file are the help's;
  - with --sources, every packed page, style sheet, contents and index file equals its source byte for byte;
  - every link of the contents, the index and the pages leads to a packed page and, where it names an
    anchor, to an anchor of that page.

Usage: check_chm.py [--extractor PATH] [--sources DIR] help.chm
"""

import argparse
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

# Every page of the help, with the title it must carry.
EXPECTED_PAGES = {
    "index.html": "Velmora Help",
    "window.html": "The converter window",
    "menus.html": "Menus and commands",
    "catalog.html": "The conversion catalog: conv.txt",
    "formulas.html": "The formula language",
    "files.html": "Files and messages",
    "commandline.html": "The command line",
}
SITEMAPS = ["velmora.hhc", "velmora.hhk"]  # the table of contents and the index
OTHER_FILES = ["velmora.css"] + SITEMAPS
# Written by the compiler: the system header, the topic, URL and string tables, the full-text index.
COMPILER_FILES = ["#SYSTEM", "#TOPICS", "#URLTBL", "#URLSTR", "#STRINGS", "$FIftiMain"]
HELP_TITLE = "Velmora Help"
DEFAULT_TOPIC = "index.html"


class PageScan(html.parser.HTMLParser):
    """Collects a page's title, its anchors, its links and the sitemap targets of a .hhc or .hhk file."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = None
        self._in_title = False
        self._title_text = []
        self.anchors = set()
        self.links = []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "title":
            self._in_title = True
        for key in ("id", "name"):
            if key in attrs and tag != "param" and tag != "meta":
                self.anchors.add(attrs[key])
        if tag in ("a", "link") and "href" in attrs:
            self.links.append(attrs["href"])
        if tag == "param" and attrs.get("name", "").lower() == "local":
            self.links.append(attrs.get("value", ""))

    def handle_endtag(self, tag):
        if tag == "title" and self._in_title:
            self._in_title = False
            self.title = "".join(self._title_text).strip()

    def handle_data(self, data):
        if self._in_title:
            self._title_text.append(data)


def scan(path):
    parser = PageScan()
    with open(path, encoding="utf-8") as f:
        parser.feed(f.read())
    parser.close()
    return parser


def find_extractor(name):
    found = shutil.which(name)
    if found is None and os.path.isfile(name) and os.access(name, os.X_OK):
        found = name
    return found


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("chm", help="the compiled help file")
    ap.add_argument("--extractor", default="extract_chmLib", help="the extract_chmLib program")
    ap.add_argument("--sources", help="the folder of the help sources, to compare the packed files with")
    args = ap.parse_args()

    failures = []

    def fail(message):
        failures.append(message)
        print("FAIL: " + message)

    extractor = find_extractor(args.extractor)
    if extractor is None:
        print("FAIL: extract_chmLib was not found ('%s'), so help.chm cannot be checked. "
              "Install it (Debian: apt-get install libchm-bin)." % args.extractor)
        return 1

    if not os.path.isfile(args.chm):
        print("FAIL: %s does not exist; build the target velmora_help first." % args.chm)
        return 1
    with open(args.chm, "rb") as f:
        signature = f.read(4)
    if signature != b"ITSF":
        print("FAIL: %s does not start with the CHM signature ITSF (found %r)." % (args.chm, signature))
        return 1

    with tempfile.TemporaryDirectory(prefix="velmora-chm-") as tmp:
        out = os.path.join(tmp, "unpacked")
        run = subprocess.run([extractor, args.chm, out], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             universal_newlines=True)
        if run.returncode != 0:
            print("FAIL: %s could not unpack %s (exit status %d):\n%s"
                  % (extractor, args.chm, run.returncode, run.stdout))
            return 1

        def packed(name):
            return os.path.join(out, name)

        for name in list(EXPECTED_PAGES) + OTHER_FILES + COMPILER_FILES:
            if not os.path.isfile(packed(name)):
                fail("%s is missing from the CHM" % name)

        extra = sorted(n for n in os.listdir(out)
                       if n.lower().endswith((".html", ".htm")) and n not in EXPECTED_PAGES)
        if extra:
            fail("pages that the check does not know are in the CHM: %s" % ", ".join(extra))

        system = packed("#SYSTEM")
        if os.path.isfile(system):
            with open(system, "rb") as f:
                data = f.read()
            if HELP_TITLE.encode() not in data:
                fail("the CHM's system header does not hold the title '%s'" % HELP_TITLE)
            if DEFAULT_TOPIC.encode() not in data:
                fail("the CHM's system header does not hold the default page '%s'" % DEFAULT_TOPIC)

        scans = {}
        for page, title in EXPECTED_PAGES.items():
            if not os.path.isfile(packed(page)):
                continue
            scans[page] = scan(packed(page))
            if scans[page].title != title:
                fail("%s has the title %r instead of %r" % (page, scans[page].title, title))
            else:
                print("ok: %s: %s" % (page, title))

        if args.sources:
            for name in list(EXPECTED_PAGES) + OTHER_FILES:
                source = os.path.join(args.sources, name)
                if not os.path.isfile(packed(name)):
                    continue
                with open(source, "rb") as a, open(packed(name), "rb") as b:
                    if a.read() != b.read():
                        fail("%s in the CHM differs from its source %s" % (name, source))

        def check_link(origin, link):
            parts = urllib.parse.urlsplit(link)
            if parts.scheme or parts.netloc:
                return  # a link out of the help
            target = urllib.parse.unquote(parts.path) or origin
            if not os.path.isfile(packed(target)):
                fail("%s links to %s, which is not in the CHM" % (origin, link))
                return
            if parts.fragment:
                if target not in scans:
                    fail("%s links to an anchor in %s, which is not a page" % (origin, link))
                elif parts.fragment not in scans[target].anchors:
                    fail("%s links to %s, but that page has no anchor '%s'" % (origin, link, parts.fragment))

        for name in SITEMAPS:
            if os.path.isfile(packed(name)):
                sitemap = scan(packed(name))
                if not sitemap.links:
                    fail("%s lists no page" % name)
                for link in sitemap.links:
                    check_link(name, link)
        for page, parsed in scans.items():
            for link in parsed.links:
                check_link(page, link)

    if failures:
        print("%d problem(s) found in %s" % (len(failures), args.chm))
        return 1
    print("ok: %s is a valid CHM with all %d pages" % (args.chm, len(EXPECTED_PAGES)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
