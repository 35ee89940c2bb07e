#!/usr/bin/env python3
"""The MSI under Wine, in a prefix of its own: installed, run, upgraded and removed.
Arguments: MSI WXS WINDOW_PROBE WINE_PREFIX_SCRIPT VERSION."""
import getpass, glob, os, re, shutil, subprocess, sys, tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "win32"))
from wine_session import STEP_TIMEOUT, Session  # noqa: E402

FILES = ["LICENSE", "README.txt", "conv.txt", "help.chm", "names.txt", "velmora.com", "velmora.exe"]
# last.txt: the conversion the window closed on, which the next start resumes.
USER_FILES = ["conv.ini", "conv.txt", "help.chm", "last.txt", "names.txt"]
EDIT = b"Fruit|ap-pe|Apples|Pears|x*7\r\n"


def check(s, msi, wxs, version, scratch, drive_c):
    program = os.path.join(drive_c, "Program Files", "Velmora")
    data = os.path.join(drive_c, "users", getpass.getuser(), "AppData", "Roaming", "Velmora")
    windows = lambda path: "Z:" + path.replace("/", "\\")
    # Per machine, the shortcut is in the Start menu of all users on Windows, the user's in Wine.
    shortcuts = lambda: glob.glob(drive_c + "/**/Start Menu/Programs/Velmora.lnk", recursive=True)

    def wine(*command):
        r = subprocess.run(["wine", *command], cwd=scratch, env=s.env, capture_output=True,
                           timeout=120)
        return r.returncode, r.stdout.decode("utf-8").replace("\r\n", "\n")

    def products():  # (version, publisher) of each Velmora among the installed programs
        out = wine("reg", "query", r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall",
                   "/s")[1]
        return re.findall(r"DisplayName\s+REG_SZ\s+Velmora\n(?:.*\n)*?\s+DisplayVersion\s+REG_SZ"
                          r"\s+(\S+)\n(?:.*\n)*?\s+Publisher\s+REG_SZ\s+(.*)\n", out)

    assert wine("msiexec", "/i", windows(msi), "/qn") == (0, "")
    assert sorted(os.listdir(program)) == FILES, os.listdir(program)
    # Its entry among the installed programs says where it is and how large it is.
    entry = [block for block in wine("reg", "query", r"HKLM\Software\Microsoft\Windows\CurrentVersion"
                                     r"\Uninstall", "/s")[1].split("\n\n") if "REG_SZ    Velmora" in block]
    assert len(entry) == 1 and re.search(r"InstallLocation\s+REG_SZ\s+C:\\Program Files\\Velmora\\",
                                         entry[0]), entry
    # Windows Installer counts the size itself as EstimatedSize; Wine 8 writes 0 there and the
    # package's own count as Size.
    size = re.search(r"EstimatedSize\s+REG_DWORD\s+0x([1-9a-f][0-9a-f]*)|\bSize\s+REG_SZ\s+(\d+)",
                     entry[0])
    on_disk = sum(os.path.getsize(os.path.join(program, name)) for name in FILES) // 1024
    kib = size and (int(size.group(1), 16) if size.group(1) else int(size.group(2)))
    assert kib and on_disk <= kib <= 2 * on_disk + 64, entry
    assert len(shortcuts()) == 1 and products() == [(version, "Velmora")], products()
    # Where the user's folder should be stands a file: the window says where and why.
    open(data, "w").close()
    s.program = s.launch(s.exe)
    s.wait_for_window("Error")
    message = s.probe("text", "Error", "65535")[1]
    assert re.match(r"Unable to load conversion data\. .* in C:\\.*\\Velmora: ", message), message
    s.click("Error", 1)
    s.program.wait(timeout=STEP_TIMEOUT)
    os.remove(data)
    # The installed window, started elsewhere, seeds the user's folder and writes there alone.
    s.start()
    s.close()
    assert sorted(os.listdir(data)) == USER_FILES, os.listdir(data)
    assert sorted(os.listdir(program)) == FILES and "conv.ini" not in os.listdir(scratch)
    with open(os.path.join(data, "conv.txt"), "ab") as f:
        f.write(EDIT)

    # A newer package of the same source replaces the program in place, the user's files stay.
    newer = os.path.join(scratch, "newer.msi")
    subprocess.run(["wixl", "-a", "x64", "-D", "Version=99.0.0", "-D", "ProductCode=*",
                    "-o", newer, wxs], check=True, capture_output=True, timeout=60)
    assert wine("msiexec", "/i", windows(newer), "/qn") == (0, "")
    assert products() == [("99.0.0", "Velmora")] and len(shortcuts()) == 1, products()
    # Its velmora.com uses the user's catalog, as edited; a file named is taken from where the
    # command was typed. A copy of it anywhere else is portable: it uses the files beside it.
    com, convert = r"C:\Program Files\Velmora\velmora.com", ("--convert", "2", "Apples", "Pears")
    assert wine(com, *convert) == (0, "14\n")
    shutil.copy(os.path.join(program, "velmora.com"), scratch)
    with open(os.path.join(scratch, "conv.txt"), "wb") as f:
        f.write(EDIT.replace(b"x*7", b"x*5"))
    assert wine(com, "--check", "conv.txt")[1].startswith("conv.txt: 1 line")
    assert wine(windows(scratch + "/velmora.com"), *convert) == (0, "10\n")

    # Uninstalled: the program, its shortcut and registry entries go; the user's files stay.
    assert wine("msiexec", "/x", windows(newer), "/qn") == (0, "")
    assert not os.path.exists(program) and not shortcuts() and not products()
    assert wine("reg", "query", r"HKLM\Software\Velmora")[0] != 0
    assert sorted(os.listdir(data)) == USER_FILES, os.listdir(data)
    with open(os.path.join(data, "conv.txt"), "rb") as f:
        assert f.read().endswith(EDIT)


def main(msi, wxs, probe, make_prefix, version):
    # Made, not copied from the suite's: that one's server writes the registry to disk only when
    # it ends or every 30 s, so a copy taken while it runs may have none.
    scratch = tempfile.mkdtemp(prefix="velmora-msi-")
    prefix = os.path.join(scratch, "prefix")
    subprocess.run(["sh", make_prefix, prefix], check=True, timeout=300)
    session = Session(r"C:\Program Files\Velmora\velmora.exe", probe, prefix, scratch)
    try:
        check(session, msi, wxs, version, scratch, os.path.join(prefix, "drive_c"))
    finally:
        session.stop()
        subprocess.run(["wineserver", "-k"], env=session.env)
        shutil.rmtree(scratch, ignore_errors=True)
    print("passed")


if __name__ == "__main__":
    main(*sys.argv[1:])
