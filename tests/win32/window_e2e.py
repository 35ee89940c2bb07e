"""End-to-end cases of velmora.exe under Wine in Xvfb, driven as a user drives it (xdotool keys
and clicks, xclip for the clipboard) and read back with window_probe.exe, never by coordinates
fixed in advance.

    window_e2e.py --exe velmora.exe --probe window_probe.exe --prefix WINEPREFIX CASE
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from wine_session import STEP_TIMEOUT, Session

CATALOG = (
    "Length|ft-m|Feet|Meters|x*0.3048\r\n"
    "Length|ft-in|Feet|Inches|x*12\r\n"
    "; a comment line the reader skips, kept as it is\r\n"
    "Length|m-ft|Meters|Feet|x/0.3048\r\n"
    "Mass|kg-lb|Kilograms|Pounds|x/0.45359237\r\n"
    "Time|h-min|Hours|Minutes|x*60\r\n"
)


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def case_typing_selection_and_clipboard(s):
    s.start()
    s.expect(**{"tabs": "3", "from": "Feet|Meters", "result": ""})
    s.click("Velmora", 1003)
    s.type("12")
    s.expect(result="3.7", input_unit="Feet", output_unit="Meters")
    s.keys("ctrl+r")
    s.expect(input="12", result="39.4", input_unit="Meters", output_unit="Feet")
    s.keys("ctrl+r", "ctrl+shift+c")
    s.wait_for(lambda: s.clipboard() == "3.7 Meters", "the result alone on the clipboard")
    s.click("Velmora", 1010)
    s.keys("End")
    s.expect(to_selected="1", result="144.0", output_unit="Inches")
    # A click on the From entry already selected keeps To and the result: Copy Result, which
    # comes after the click, copies them.
    left, top, right, _ = (int(v) for v in s.probe("rect", "Velmora", "1008")[1].split())
    s.run(["xdotool", "mousemove", str((left + right) // 2), str(top + 6), "click", "1"])
    s.keys("ctrl+shift+c")
    s.wait_for(lambda: s.clipboard() == "144.0 Inches", "the result kept on the clipboard")
    # Copy Exact Value from the Convert menu, by the keyboard alone, and from the result field's
    # menu, which is the program's, on Shift+F10.
    s.keys("alt+c", "e")
    s.wait_for(lambda: s.clipboard() == "144 Inches", "the exact value on the clipboard")
    s.keys("ctrl+shift+c")
    s.wait_for(lambda: s.clipboard() == "144.0 Inches", "the result on the clipboard")
    s.click("Velmora", 1004)
    s.keys("shift+F10", "e")
    s.wait_for(lambda: s.clipboard() == "144 Inches", "the exact value from the field's menu")
    s.click("Velmora", 1008)
    s.keys("Down")
    s.expect(to="Feet, 39.4", result="39.4", input_unit="Meters", output_unit="Feet")
    s.keys("ctrl+Tab")
    s.expect(tab="1", result="26.5", input_unit="Kilograms", output_unit="Pounds")
    s.keys("ctrl+c")
    # Wine hands Unicode text to X with LF line ends.
    s.wait_for(lambda: s.clipboard() == "Input:        12 Kilograms\nOutput:       26.5 Pounds",
               "the report on the clipboard")
    s.keys("Return", "Escape")
    s.expect(title="Velmora", input="12")
    s.close()
    assert read(s.folder, "conv.ini") == b"1"
    assert read(s.folder, "conv.txt") == CATALOG.encode()
    assert not os.path.exists(os.path.join(s.folder, "window.ini")), "a size kept unasked"


def case_values_in_several_units(s):
    # The units read and the result in two parts each have a line of their own, the unit labels
    # none.
    with open(os.path.join(s.folder, "conv.txt"), "w", newline="") as f:
        f.write("L|a|Feet (international)|Inches (international)|x*12\r\n"
                "L|b|Centimeters|Feet (international)|x/30.48\r\n"
                "L|c|Inches (international)|Feet (international)|x/12\r\n")
    with open(os.path.join(s.folder, "names.txt"), "w") as f:
        f.write("Feet (international)|ft\nInches (international)|in\n")
    s.start()
    line = lambda id: s.probe("text", "Velmora", id)[1].strip()
    s.click("Velmora", 1003)
    s.type("5 ft 11 in")
    s.expect(result="71.0", input_unit="Feet (international)")
    assert line("1025") == "Read as 5 Feet (international) + 11 Inches (international)", line("1025")
    s.click("Velmora", 1008)
    s.keys("Down")
    s.click("Velmora", 1003)
    s.keys("ctrl+a")
    s.type("180.34")
    s.expect(result="5.9", output_unit="Feet (international)")
    assert line("1024") == "= 5 ft 11.0 in", line("1024")
    s.close()


def case_options_precision_and_close(s):
    s.start()
    s.keys("alt+c", "p")
    s.wait_for_window("Precision")
    s.click("Precision", 1017)
    s.keys("Up", "Up", "Up", "Up")  # the arrows stop at 4
    s.type("9")  # refused: the edit keeps 4
    s.keys("Down", "Return")
    s.click("Velmora", 1003)
    s.type("12")
    s.expect(result="3.658")
    s.keys("alt+c", "o")
    s.wait_for_window("Options")
    s.click("Options", 1015)
    s.keys("End", "space", "Return")
    s.expect(tabs="2")
    s.close()
    assert read(s.folder, "conv.ini") == b"3"
    assert read(s.folder, "conv.txt") == CATALOG.replace("x*60", "x*60|0").encode()


def case_find_and_save(s):
    s.start()
    s.click("Velmora", 1003)
    s.keys("ctrl+f")
    s.wait_for_window("Find Conversion")
    s.click("Find Conversion", 1030)
    s.type("5 kilograms to pounds")
    s.keys("Return")
    s.expect(tab="1", input="5", result="11.0", output_unit="Pounds")
    # The value Find leaves selected is for typing over: Ctrl+C copies the report.
    s.keys("ctrl+c")
    s.wait_for(lambda: s.clipboard() == "Input:        5 Kilograms\nOutput:       11.0 Pounds",
               "the report, not the value, on the clipboard")
    s.keys("alt+f", "s")
    s.wait_for(lambda: visible_window(s, "Save As"), "the Save dialog")
    # The system's own dialog: its name field takes the keys once it has settled.
    time.sleep(1.5)
    # The program's own files, also by the names with a dot more that Windows opens them under,
    # are refused with the reason, and the dialog stays open for another name. (Wine's dialog
    # takes no stream names or long-path prefixes: the unit tests try those.)
    velmoras = lambda: len(s.run(["xdotool", "search", "--onlyvisible", "--name", "^Velmora$"]).stdout.split())
    for name in ("conv.txt", "conv.ini.", "window.ini."):
        s.keys("End", "shift+Home")
        s.type("Z:" + os.path.join(s.folder, name).replace("/", "\\"))
        s.keys("Return")
        s.wait_for(lambda: velmoras() == 2, "the message over the Save dialog for " + name)
        s.keys("Return")
        s.wait_for(lambda: velmoras() == 1, "the message to close")
        assert visible_window(s, "Save As"), "the Save dialog closed"
    # A name without a suffix takes the report's, whatever type the dialog offers.
    s.keys("End", "shift+Home")
    s.type("Z:" + os.path.join(s.folder, "report").replace("/", "\\"))
    s.keys("Return")
    path = os.path.join(s.folder, "report.cnv")
    s.wait_for(lambda: os.path.exists(path), "the saved report")
    assert read(s.folder, "report.cnv") == b"Input:        5 Kilograms\r\nOutput:       11.0 Pounds"
    s.close()
    # The conversion closed on, which the next start resumes, is also the latest recent one.
    assert sorted(os.listdir(s.folder)) == ["conv.ini", "conv.txt", "last.txt", "recent.txt",
                                            "report.cnv"], os.listdir(s.folder)
    assert read(s.folder, "conv.txt") == CATALOG.encode()


def case_find_with_the_users_decimal_comma(s):
    # The user's number format as Windows keeps it, which the window reads with GetLocaleInfoEx.
    key = r"HKCU\Control Panel\International"
    kept = s.run(["wine", "reg", "query", key, "/v", "sDecimal"]).stdout.decode().split()[-1]
    s.run(["wine", "reg", "add", key, "/v", "sDecimal", "/d", ",", "/f"])
    try:
        with open(os.path.join(s.folder, "conv.txt"), "w", newline="") as f:
            f.write("Length|km-m|Kilometers|Meters|x*1000\r\n"
                    "Length|m-km|Meters|Kilometers|x/1000\r\n")
        # Too large to be read: Find says so under its count, and finds units by their labels
        # alone.
        with open(os.path.join(s.folder, "names.txt"), "wb") as f:
            f.write(b"#" * (16 << 20) + b"\n")
        s.start()
        s.click("Velmora", 1003)
        s.type("2,5")
        # The result is written with the comma it was typed with.
        s.expect(result="2500,0")
        s.keys("ctrl+f")
        s.wait_for_window("Find Conversion")
        s.click("Find Conversion", 1030)
        s.type("1,5 kilometers to meters")
        count = lambda: s.probe("text", "Find Conversion", "1032")[1]
        try:
            s.wait_for(lambda: count() == "1 conversion matches.\n", "one match")
        except AssertionError:
            raise AssertionError("the count line shows " + count()) from None
        note = s.probe("text", "Find Conversion", "1033")[1]
        assert note.startswith("names.txt is larger than 16 MiB"), note
        s.keys("Return")
        s.expect(input="1,5", result="1500,0", input_unit="Kilometers", output_unit="Meters")
        s.click("Velmora", 1008)
        s.keys("ctrl+c")
        s.wait_for(lambda: s.clipboard() == "Input:        1,5 Kilometers\nOutput:       1500,0 Meters",
                   "the report with the user's comma on the clipboard")
        s.close()
    finally:
        s.run(["wine", "reg", "add", key, "/v", "sDecimal", "/d", kept, "/f"])


def case_decimal_comma_from_the_locale_at_every_start(s):
    # Wine takes the user's number format from LANG and keeps a copy in the prefix's registry,
    # which every program of the prefix started under another language (the probe, reg) rewrites.
    with open(os.path.join(s.folder, "conv.txt"), "w", newline="") as f:
        f.write("Length|km-m|Kilometers|Meters|x*1000\r\n")
    # Each start the first one, with nothing typed: not the value the last one closed with.
    with open(os.path.join(s.folder, "view.ini"), "w") as f:
        f.write("resume-last=0\n")
    for _ in range(5):
        s.start(LANG="de_DE.UTF-8")
        s.click("Velmora", 1003)
        s.type("2,5")
        s.expect(result="2500,0")
        s.close()


def frames(s):
    return [tuple(int(v) for v in line.split()) for line in s.probe("frames", "Velmora")[1].splitlines()]


def drag_corner(s, dx, dy):
    # The frame's bottom right corner, as a user resizes a window.
    left, top, right, bottom = frames(s)[0]
    x, y = right - 3, bottom - 3
    s.run(["xdotool", "mousemove", str(x), str(y), "mousedown", "1", "sleep", "0.2",
           "mousemove", str(x + dx // 2), str(y + dy // 2), "sleep", "0.2",
           "mousemove", str(x + dx), str(y + dy), "sleep", "0.2", "mouseup", "1"])


def size(frame):
    return frame[2] - frame[0], frame[3] - frame[1]


def contrast(a, b):
    def luminance(rgb):
        c = [v / 255 for v in rgb]
        c = [v / 12.92 if v <= 0.04045 else ((v + 0.055) / 1.055) ** 2.4 for v in c]
        return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2]
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def case_larger_window_kept_and_a_second_one_beside_it(s):
    s.start()
    # The From list has the keyboard: the To list's selection is drawn apart from it, and from
    # its list by at least 3:1.
    with_keys, without = ([int(v) for v in s.probe("selection", "Velmora", str(i))[1].split()]
                          for i in (1008, 1010))
    assert with_keys[:3] != without[:3] and contrast(without[:3], without[3:]) >= 3, (with_keys, without)
    least, rows = size(frames(s)[0]), int(s.state()["from_rows"])
    drag_corner(s, -120, -90)  # the template's size is the least
    time.sleep(0.5)
    assert size(frames(s)[0]) == least, (frames(s), least)
    drag_corner(s, 200, 160)
    s.wait_for(lambda: size(frames(s)[0])[1] > least[1] + 100, "the window to grow")
    larger = size(frames(s)[0])
    assert int(s.state()["from_rows"]) > rows, s.state()
    s.close()
    assert read(s.folder, "window.ini").endswith(b"\n"), read(s.folder, "window.ini")
    s.start()
    assert size(frames(s)[0]) == larger, (frames(s), larger)
    # A second window opens below and to the right of the first, wholly on the screen.
    second = s.launch(s.exe)
    s.wait_for(lambda: len(frames(s)) == 2, "the second window")
    first, other = sorted(frames(s))
    assert other[0] > first[0] and other[1] > first[1], (first, other)
    assert other[2] <= 1280 and other[3] <= 1024, other
    s.keys("alt+F4")
    second.wait(timeout=STEP_TIMEOUT)
    s.click("Velmora", 1003)
    s.close()


def case_pictures_for_the_screens_dpi(s):
    # Scaling as a Windows user sets it: the DPI of the Wine prefix, read at each program's start.
    key = r"HKCU\Control Panel\Desktop"
    banner = {}
    try:
        for dpi in (96, 144):
            s.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"])
            s.start()
            left, top, right, bottom = (int(v) for v in s.probe("rect", "Velmora", "1012")[1].split())
            banner[dpi] = right - left, bottom - top
            s.close()
    finally:
        s.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "96", "/f"])
    for wide, narrow in zip(banner[144], banner[96]):
        assert abs(wide - 1.5 * narrow) <= 1, banner


def case_version_resources(s):
    # What Explorer shows in Properties > Details, for both programs.
    for program, name in ((s.exe, "velmora.exe"), (os.path.join(os.path.dirname(s.exe), "velmora.com"), "velmora.com")):
        code, out = s.probe("version", program)
        info = dict(line.split("=", 1) for line in out.splitlines())
        assert code == 0 and info["ProductName"] == "Velmora" and info["CompanyName"] == "Velmora", out
        assert info["ProductVersion"] == info["FileVersion"] == s.version, out
        assert info["numbers"] == s.version + ".0" and info["OriginalFilename"] == name, out
        assert info["FileDescription"].startswith("Velmora unit converter") and int(info["icons"]) > 0, out
        assert info["LegalCopyright"] == "Copyright (c) 2026 the Velmora developers", out


def case_hiding_every_category(s):
    categories = ["Category %02d" % n for n in range(24)]
    catalog = "".join("%s|c|Unit A|Unit B|x*2\r\n" % name for name in categories)
    with open(os.path.join(s.folder, "conv.txt"), "w", newline="") as f:
        f.write(catalog)
    s.start()
    before = s.state()
    from_top = int(s.probe("rect", "Velmora", "1008")[1].split()[1])
    assert int(before["rows"]) > 1, before
    s.keys("alt+c", "o")
    s.wait_for_window("Options")
    s.click("Options", 1015)
    s.keys("Home", *["space", "Down"] * len(categories), "Return")
    s.expect(**{"tabs": "0", "from": "", "to": "", "input_unit": "Unit A"})
    # The window and everything on the tabs' page move up by the rows that went.
    shrink = int(before["client_height"]) - int(s.state()["client_height"])
    assert shrink > 0
    assert from_top - int(s.probe("rect", "Velmora", "1008")[1].split()[1]) == shrink
    s.keys("ctrl+c")
    s.wait_for(lambda: s.clipboard() == "no current conversion", "the placeholder report")
    s.close()
    assert read(s.folder, "conv.txt") == catalog.replace("x*2", "x*2|0").encode()


def visible_window(s, title):
    return s.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title]).returncode == 0


def close_help(s):
    # The help window may stand over the converter window's middle, where it opens: closed first.
    out = s.run(["xdotool", "search", "--onlyvisible", "--name", "^Velmora Help$",
                 "getwindowgeometry", "--shell", "%1"]).stdout.decode()
    at = dict(line.split("=") for line in out.split())
    s.run(["xdotool", "mousemove", str(int(at["X"]) + int(at["WIDTH"]) // 2),
           str(int(at["Y"]) + int(at["HEIGHT"]) // 2), "click", "1"])
    s.keys("alt+F4")
    s.wait_for(lambda: not visible_window(s, "Velmora Help"), "the help window to close")


def case_help_opens_the_file_in_the_folder(s):
    # Wine's HTML Help draws no page (no Gecko); its window's title is the one help.chm holds.
    s.start()
    s.click("Velmora", 1003)
    s.keys("F1")
    time.sleep(2)
    assert not visible_window(s, "Velmora Help"), "help opened without help.chm"
    shutil.copy(s.chm, os.path.join(s.folder, "help.chm"))
    s.keys("F1")
    s.wait_for(lambda: visible_window(s, "Velmora Help"), "the help window")
    close_help(s)
    s.click("Velmora", 1003)
    s.close()


def case_help_from_a_dialog(s):
    shutil.copy(s.chm, os.path.join(s.folder, "help.chm"))
    s.start()
    s.click("Velmora", 1003)
    s.keys("alt+c", "p")
    s.wait_for_window("Precision")
    s.click("Precision", 1017)
    s.keys("F1")
    s.wait_for(lambda: visible_window(s, "Velmora Help"), "the help window")
    close_help(s)
    s.click("Precision", 2)  # Cancel
    s.click("Velmora", 1003)
    s.close()


def case_catalog_in_utf16_says_why(s):
    utf16 = CATALOG.encode("utf-16")
    with open(os.path.join(s.folder, "conv.txt"), "wb") as f:
        f.write(utf16)
    s.start()
    s.expect(tabs="0")
    note = s.probe("text", "Velmora", "1024")[1].strip()
    assert note == ("conv.txt holds no conversion that can be read; it is saved as UTF-16: "
                    "save it as UTF-8."), note
    assert "velmora --check" in s.probe("text", "Velmora", "1025")[1]
    s.close()
    assert read(s.folder, "conv.txt") == utf16


def case_maximised_on_the_screen_and_kept(s):
    s.start()
    s.probe("maximise", "Velmora")
    s.expect(maximised="1")
    frame = frames(s)[0]
    # Its caption on the screen: a maximised frame reaches past the screen by its border alone.
    assert frame[0] > -12 and frame[1] > -12, frame
    s.close()
    assert read(s.folder, "window.ini").endswith(b"\r\nmaximized\r\n"), read(s.folder, "window.ini")
    s.start()
    s.expect(maximised="1")
    assert frames(s)[0] == frame, (frames(s), frame)
    s.close()


def case_missing_catalog(s):
    os.remove(os.path.join(s.folder, "conv.txt"))
    s.program = s.launch(s.exe)
    s.wait_for_window("Error")
    # A message box's text is its static control 65535.
    assert s.probe("text", "Error", "65535")[1].startswith("Unable to load conversion data.")
    s.click("Error", 1)  # the message box's OK
    assert s.program.wait(timeout=STEP_TIMEOUT) == 0
    assert os.listdir(s.folder) == []


def case_favourites_by_keys_kept_and_first_in_find(s):
    # Ctrl+D and Ctrl+1 with the menus never opened.
    s.start()
    s.keys("ctrl+Tab", "ctrl+d", "ctrl+Tab")
    s.expect(tab="2")
    s.close()
    assert read(s.folder, "favourites.txt") == b"Mass\tKilograms\tPounds\r\n"
    s.start()
    s.click("Velmora", 1003)
    s.type("3")
    s.keys("ctrl+1")
    s.expect(tab="1", input="3", result="6.6", output_unit="Pounds")
    s.keys("ctrl+f")
    s.wait_for_window("Find Conversion")
    items = s.probe("items", "Find Conversion", "1031")[1]
    assert items.startswith("items=Mass: Kilograms") and "Pounds (favourite)|" in items, items
    s.keys("Escape", "ctrl+d")
    s.close()
    assert read(s.folder, "favourites.txt") == b"", read(s.folder, "favourites.txt")


def case_recent_menu_resuming_and_always_on_top(s):
    s.start()
    s.click("Velmora", 1003)
    s.type("12")
    s.expect(result="3.7")
    s.click("Velmora", 1010)
    s.keys("End")  # Feet to Meters left with its result: a recent conversion
    s.expect(result="144.0")
    s.keys("alt+r", "Return")
    s.expect(to_selected="0", input="12", result="3.7", output_unit="Meters")
    s.click("Velmora", 1010)
    s.keys("End", "alt+v", "t")
    s.expect(topmost="1", result="144.0")
    s.close()
    s.start()
    s.expect(tab="0", from_selected="0", to_selected="1", input="12", result="144.0",
             input_unit="Feet", output_unit="Inches", topmost="1")
    s.keys("alt+v", "t")
    s.expect(topmost="0")
    s.close()
    assert read(s.folder, "view.ini") == b"always-on-top=0\r\n", read(s.folder, "view.ini")


def case_global_key_taken_chosen_and_pressed(s):
    # Another program holds the default, Ctrl+Alt+F8 (modifiers 3, key 119).
    holder = s.launch(s.probe_exe, "hold", "Holder", "3", "119")
    try:
        s.wait_for(lambda: visible_window(s, "Holder"), "the holder's window")
        s.start()
        s.click("Velmora", 1003)
        s.keys("alt+v", "g")
        s.wait_for_window("Global Key")
        note = s.probe("text", "Global Key", "1042")[1].strip()
        assert note == "Ctrl+Alt+F8 is taken by another program; choose another.", note
        s.keys("Return")  # the taken key again: the dialog stays open for another
        s.click("Global Key", 1040)
        # The X server keeps Ctrl+Alt+F-keys for itself: Shift it is.
        s.keys("ctrl+shift+F8", "Return")
        s.wait_for(lambda: not visible_window(s, "Global Key"), "the dialog to close")
        s.probe("minimise", "Velmora")
        s.expect(minimised="1")
        s.run(["xdotool", "mousemove", "150", "100", "click", "1"])  # into the holder's window
        s.keys("ctrl+shift+F8")
        s.wait_for_window("Find Conversion")
        s.expect(minimised="0")
        s.keys("ctrl+shift+F8")  # Find open: it comes forward, no second one
        finds = s.run(["xdotool", "search", "--onlyvisible", "--name", "^Find Conversion$"])
        assert len(finds.stdout.split()) == 1, finds
        s.keys("Escape")
        s.click("Velmora", 1003)
        s.close()
        assert read(s.folder, "view.ini") == b"global-key=Ctrl+Shift+F8\r\n"
    finally:
        holder.kill()
        holder.wait()


def convert(s, value, source, target, category, precision):
    program = os.path.join(os.path.dirname(s.exe), "velmora.com")
    return subprocess.run(["wine", program, "--convert", value, source, target, "--category", category,
                           "--catalog", "conv.txt", "--precision", precision], cwd=s.folder, env=s.env,
                          capture_output=True, timeout=60).stdout.decode().strip()


def case_to_rows_show_and_name_their_results(s):
    shutil.copy(os.path.join(os.path.dirname(__file__), "..", "..", "data", "conv.txt"), s.folder)
    category = read(s.folder, "conv.txt").decode().split("|", 1)[0]
    open(os.path.join(s.folder, "conv.ini"), "w").write("3")
    s.start()
    s.click("Velmora", 1003)
    s.type("12")
    s.wait_for(lambda: ", " in s.state()["to"], "the results in the To rows")
    s.click("Velmora", 1010)
    state = s.state()
    source, selected = state["from"].split("|")[int(state["from_selected"])], int(state["to_selected"])

    def named(value):
        # The rows in view and the selected one carry their results, the others their names alone.
        state = s.state()
        rows, top, end = state["to"].split("|"), int(state["to_top"]), int(state["to_top"]) + int(state["to_rows"])
        for row, text in enumerate(rows):
            if top <= row < end or row == selected:
                name, result = text.rsplit(", ", 1)
                assert result == convert(s, value, source, name, category, "3"), (text, state)
            elif row != end:  # that one may show in part
                assert ", " not in text, (row, text, state)
        return str(top)

    named("12")
    # The wheel takes the selected row out of view; a new value leaves the list where it is.
    s.run(["xdotool", "click", "--repeat", "4", "5"])
    s.wait_for(lambda: int(s.state()["to_top"]) > selected, "the list to scroll")
    top = named("12")
    s.click("Velmora", 1003)
    s.keys("End", "5")
    s.expect(input="125", to_top=top, to_selected=str(selected))
    named("125")
    # Show All Results off, by its letter in the View menu: names alone.
    s.keys("alt+v", "a")
    s.wait_for(lambda: ", " not in s.state()["to"], "the results gone")
    s.close()


def case_precision_style_and_a_range_refused(s):
    s.start()
    s.click("Velmora", 1003)
    s.type("12")
    s.expect(result="3.7")
    s.keys("alt+c", "p")
    s.wait_for_window("Precision")
    enabled = lambda: s.probe("enabled", "Precision", "1044")[1].strip()
    assert enabled() == "0"
    s.click("Precision", 1043)  # significant digits, whose number box comes into use
    assert enabled() == "1"
    # A range that holds no number is refused, the dialog kept open on its upper end.
    s.click("Precision", 1046)
    for edit, number in ((1044, "3"), (1047, "2"), (1049, "2")):
        s.click("Precision", edit)
        s.keys("ctrl+a")
        s.type(number)
    s.click("Precision", 1047)
    s.keys("Return")
    s.wait_for(lambda: s.probe("focus", "Precision")[1].strip() == "1049", "the range's upper end")
    s.click("Precision", 1046)  # no scientific notation after all: its numbers are not taken
    s.keys("Return")
    s.expect(result="3.66")
    assert s.state()["to"].startswith("Meters, 3.66|"), s.state()
    s.close()
    assert read(s.folder, "view.ini") == b"significant=1\r\nsignificant-digits=3\r\n"


CASES = {name[len("case_"):]: f for name, f in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--chm", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xclip", "wine"):
        if not shutil.which(tool):
            print("missing tool: " + tool, file=sys.stderr)
            return 1
    # A working folder whose name no single-byte code page holds whole, so that every file the
    # program reads and writes goes by its Unicode path; not for the case that types a path,
    # which xdotool cannot type into Wine for every character.
    unicode_name = "" if args.case == "find_and_save" else "-Zürich-€-日本"
    folder = tempfile.mkdtemp(prefix="velmora-win-e2e-", suffix=unicode_name)
    with open(os.path.join(folder, "conv.txt"), "wb") as f:
        f.write(CATALOG.encode())
    session = Session(args.exe, args.probe, args.prefix, folder)
    session.chm = args.chm
    session.version = args.version
    try:
        CASES[args.case](session)
    finally:
        session.stop()
        shutil.rmtree(folder, ignore_errors=True)
    print("passed: " + args.case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
