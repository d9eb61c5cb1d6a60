# The benchmark's own Wine session: a fresh private prefix under
# build/bench/wine, a foreground wineserver and (without a DISPLAY) an Xvfb
# whose process ids are kept, so that exactly these are ended afterwards.
import os
import shutil
import subprocess
import time

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver64"


def process_alive(pid):
    return pid is not None and os.path.exists(f"/proc/{pid}")


def process_name(pid):
    try:
        with open(f"/proc/{pid}/comm") as comm:
            return comm.read().strip()
    except OSError:
        return ""


def cpu_seconds(pid):
    """User plus system time of a Linux process (all its threads), in s."""
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    # fields[0] is the state (field 3); utime and stime are fields 14 and 15
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class WineSession:
    def __init__(self, state_dir):
        self.state = state_dir
        self.prefix = os.path.join(state_dir, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINELOADER=WINE64,
                        WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="-all")
        self.server = None
        self.xvfb = None

    def _log(self, name):
        return open(os.path.join(self.state, name), "ab")

    def start(self):
        self._end_leftovers()
        shutil.rmtree(self.prefix, ignore_errors=True)
        # The server works in the prefix folder, so it must exist first;
        # wineboot fills it.
        os.makedirs(self.prefix)
        if not os.environ.get("DISPLAY"):
            self._start_xvfb()
        # -f keeps the server in the foreground, so its id is the one known here.
        self.server = subprocess.Popen([WINESERVER, "-f", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=self._log("wineserver.log"), stderr=subprocess.STDOUT,
                                       start_new_session=True)
        self._write_pid("wineserver.pid", self.server.pid)
        self.run_quietly([WINE64, "wineboot", "-i"])
        # A crashing program must end, not wait on a crash dialog.
        self.run_quietly([WINE64, "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                          "/t", "REG_DWORD", "/d", "0", "/f"])

    def _start_xvfb(self):
        # Xvfb writes its display number again each time its last client
        # leaves and it resets: a file, unlike a pipe, still takes it then.
        number_file = os.path.join(self.state, "xvfb.display")
        with open(number_file, "w") as numbers:
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(numbers.fileno()), "-screen", "0",
                                          "1024x768x24", "-nolisten", "tcp"], pass_fds=(numbers.fileno(),),
                                         stdin=subprocess.DEVNULL, stdout=self._log("xvfb.log"),
                                         stderr=subprocess.STDOUT, start_new_session=True)
        self._write_pid("xvfb.pid", self.xvfb.pid)
        number = ""
        for _ in range(150):
            number = open(number_file).read().strip()
            if number or self.xvfb.poll() is not None:
                break
            time.sleep(0.1)
        if not number:
            raise RuntimeError("Xvfb did not start (see xvfb.log in " + self.state + ")")
        self.env["DISPLAY"] = ":" + number.split()[0]

    def _write_pid(self, name, pid):
        with open(os.path.join(self.state, name), "w") as out:
            out.write(str(pid))

    def run_quietly(self, command, timeout=180):
        subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, stdout=self._log("wine.log"),
                       stderr=subprocess.STDOUT, timeout=timeout, check=True)

    def run(self, exe, args, timeout):
        """Runs a Windows program in the prefix; returns its standard output."""
        done = subprocess.run([WINE64, exe] + list(args), env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=self._log("programs.log"), timeout=timeout)
        text = done.stdout.decode(errors="replace")
        if done.returncode != 0:
            raise RuntimeError(f"{os.path.basename(exe)} {' '.join(args)} ended with {done.returncode}:\n{text}")
        return text

    def popen(self, exe, args):
        return subprocess.Popen([WINE64, exe] + list(args), env=self.env, stdin=subprocess.PIPE,
                                stdout=subprocess.PIPE, stderr=self._log("programs.log"))

    def processes(self):
        """Linux ids of the processes running in this prefix."""
        marker = ("WINEPREFIX=" + self.prefix).encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as environ:
                    if marker in environ.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                pass
        return found

    def find_program(self, exe_name):
        """The Linux id of the process in this prefix that runs exe_name."""
        for pid in self.processes():
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                    first = cmdline.read().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            if first.replace("\\", "/").rsplit("/", 1)[-1].lower() == exe_name.lower():
                return pid
        return None

    def windows_path(self, linux_path):
        return "Z:" + os.path.abspath(linux_path).replace("/", "\\")

    def stop(self):
        if os.path.isdir(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.server:
            try:
                self.server.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
            self.server = None
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
            self.xvfb = None
        for name in ("wineserver.pid", "xvfb.pid"):
            try:
                os.remove(os.path.join(self.state, name))
            except OSError:
                pass
        # Whatever still runs in the prefix was started by this session.
        left = [pid for pid in self.processes() if pid != os.getpid()]
        for pid in left:
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        return left

    def _end_leftovers(self):
        """Ends what an interrupted earlier run of this session left behind."""
        if os.path.isdir(self.prefix):
            subprocess.run([WINESERVER, "-k"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for name, program in (("wineserver.pid", "wineserver64"), ("xvfb.pid", "Xvfb")):
            path = os.path.join(self.state, name)
            try:
                pid = int(open(path).read().strip())
            except (OSError, ValueError):
                continue
            if process_name(pid) == program:
                os.kill(pid, 15)
                for _ in range(100):
                    if not process_alive(pid):
                        break
                    time.sleep(0.1)
            os.remove(path)
