# `make bench`: measures the setup program next to a baseline for each figure
# (extraction speed, size, memory, start-up, idle use, scale) in one run, and
# prints one line per figure with the ratio and whether its target is met.

#   run_bench.py BUILD_DIR [--only size,startup,idle,extract,scale]
# Builds its bench targets, makes its large sets under BUILD_DIR/bench, runs
# everything in its own Wine session, and removes the large data and ends
# every process it started before it returns.
import argparse
import datetime
import os
import shutil
import statistics
import subprocess
import sys
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_size  # noqa: E402
from wine_session import WineSession, cpu_seconds  # noqa: E402

MB = 1 << 20
KB = 1024

# Runs per figure: each is timed this many times, subject and baseline
# alternately, and the median is reported.
EXTRACT_RUNS = {"large_64x4mb": 21, "small_20000x1kb": 3, "scale_1mb": 21, "scale_10mb": 21,
                "scale_100mb": 21, "scale_500mb": 7}
# Seconds each set's timed runs may take: fewer runs are made (at least one
# each) when the first shows that all of them would take longer.
EXTRACT_BUDGET = {"small_20000x1kb": 900}
DEFAULT_EXTRACT_BUDGET = 300
CP_RUNS = 5
MEMORY_RUNS = 3
STARTUP_RUNS = 20
IDLE_SECONDS = 10

TARGETS = {"large": 1.10, "small": 1.25, "size": 24 * KB, "memory": 2 * MB, "startup": 1.2}
SETUP_TITLE = "Program Setup"
BASELINE_TITLE = "Minimal Dialog"
SETS = [  # name, label, files, bytes per file
    ("large_64x4mb", "64x4MB", 64, 4 * MB),
    ("small_20000x1kb", "20000x1KB", 20000, KB),
    ("scale_1mb", "1 MB", 1, MB),
    ("scale_10mb", "10 MB", 10, MB),
    ("scale_100mb", "100 MB", 100, MB),
    ("scale_500mb", "500 MB", 500, MB),
]


class Bench:
    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.win32 = os.path.join(self.build, "win32")
        self.win64 = os.path.join(self.build, "win64")
        self.data = os.path.join(self.build, "bench")
        self.figures = []  # (line, met): met is True, False, or None when there is no target
        self.failures = []
        self.notes = []
        self.session = None

    # --- output ---------------------------------------------------------------
    def figure(self, line, met=None):
        self.figures.append((line, met))
        print(line, flush=True)

    def note(self, line):
        self.notes.append(line)
        print("  " + line, flush=True)

    def failed(self, what, error):
        self.failures.append(what)
        print(f"{what}: FAILED ({error})", flush=True)
        traceback.print_exc()

    # --- building -------------------------------------------------------------
    def cmake_build(self, folder, *targets):
        jobs = str(os.cpu_count() or 2)
        subprocess.run(["cmake", "--build", folder, "-j", jobs, "--target", *targets], check=True,
                       stdout=subprocess.DEVNULL)

    def set_exe(self, name):
        return os.path.join(self.data, "bin", f"bench_extract_{name}.exe")

    def tree(self, name):
        return os.path.join(self.data, "trees", name)

    # --- size -----------------------------------------------------------------
    def size(self):
        exe = os.path.join(self.win32, "setup.exe")
        parts = pe_size.sections(exe)
        found = pe_size.resources(exe)
        head = pe_size.headers(exe)
        code = sum(s["raw"] for s in parts if s["code"])
        data = sum(s["raw"] for s in parts if not s["code"] and s["name"] != ".rsrc")
        code_v = sum(s["virtual"] for s in parts if s["code"])
        data_v = sum(s["virtual"] for s in parts if not s["code"] and s["name"] not in (".rsrc", ".bss"))
        rsrc = sum(s["raw"] for s in parts if s["name"] == ".rsrc")
        payload = sum(size for kind, ident, size in found if kind == pe_size.PAYLOAD_TYPE
                      and ident == str(pe_size.PAYLOAD_ID))
        others = [(kind, ident, size) for kind, ident, size in found
                  if not (kind == pe_size.PAYLOAD_TYPE and ident == str(pe_size.PAYLOAD_ID))]
        other_bytes = sum(size for _, _, size in others)
        file_bytes = os.path.getsize(exe)

        baseline = os.path.join(self.win32, "bench", "bench_min_dialog.exe")
        base_parts = pe_size.sections(baseline)
        base = sum(s["raw"] for s in base_parts if s["name"] != ".rsrc")
        total = code + data
        self.figure(f"size win32 setup.exe code+data sections: {total / KB:.1f} KB vs minimal dialog "
                    f"{base / KB:.1f} KB = {total / base:.2f}x (target <= {TARGETS['size'] // KB} KB: "
                    f"{met_word(total <= TARGETS['size'])})", total <= TARGETS["size"])
        self.note(f"file {file_bytes} bytes = payload (BINARY 140) {payload} + not payload "
                  f"{file_bytes - payload}: headers {head['size_of_headers']}, code {code} "
                  f"({code_v} used), data {data} ({data_v} used), resources other than the payload "
                  f"{other_bytes}, resource directory and padding {rsrc - payload - other_bytes}")
        self.note("sections (file bytes / bytes used): " + ", ".join(
            f"{s['name']} {s['raw']}/{s['virtual']}" for s in parts))
        self.note("resources other than the payload: " + ", ".join(
            f"{kind} {ident} {size}" for kind, ident, size in sorted(others, key=lambda r: -r[2])))

        map_file = os.path.join(self.win32, "bench", "size", "as_built.map")
        rebuilt = os.path.join(self.win32, "bench", "size", "bench_size_as_built.exe")
        same = open(rebuilt, "rb").read() == open(exe, "rb").read()
        contributions = pe_size.map_contributions(map_file)
        self.note(f"what fills the sections (from a relink with a map, {'identical to' if same else 'DIFFERENT from'}"
                  f" setup.exe): " + "; ".join(
                      f"{name} " + ", ".join(f"{group} {size}" for group, size in
                                             sorted(groups.items(), key=lambda g: -g[1]))
                      for name, groups in contributions.items() if groups))

        width, height, bits, colours, banner_bytes = pe_size.bitmap_shape(
            os.path.join(self.win32, "resources", "banner.bmp"))
        if bits == 24 and colours <= 256:
            smaller, table_bits = pe_size.palette_bitmap_bytes(width, height, colours)
            self.note(f"banner {width}x{height} is stored with {bits} bits per pixel ({banner_bytes - 14} "
                      f"resource bytes) but uses {colours} colours: with a {table_bits}-bit colour table "
                      f"it would take {smaller} bytes ({banner_bytes - 14 - smaller} fewer)")

        reference = pe_size.sections(os.path.join(self.win32, "bench", "size", "bench_size_sources.exe"))
        ref_total = sum(s["raw"] for s in reference if s["name"] != ".rsrc")
        for variant, flags in (("no_unwind_tables", "-fno-asynchronous-unwind-tables -fno-unwind-tables"),
                               ("lto", "-flto"), ("all", "both")):
            path = os.path.join(self.win32, "bench", "size", f"bench_size_{variant}.exe")
            changed = pe_size.sections(path)
            variant_total = sum(s["raw"] for s in changed if s["name"] != ".rsrc")
            detail = ", ".join(f"{a['name']} {a['virtual']}->{b['virtual']}" for a, b in zip(reference, changed)
                               if a["name"] == b["name"] and a["virtual"] != b["virtual"])
            self.note(f"program code built with {flags}: code+data {ref_total} -> {variant_total} file bytes "
                      f"({variant_total - ref_total:+d}); {detail}")

    # --- start-up and idle ----------------------------------------------------
    def startup(self):
        driver = os.path.join(self.win64, "bench", "bench_startup.exe")
        setup = self.session.windows_path(os.path.join(self.win64, "setup.exe"))
        baseline = self.session.windows_path(os.path.join(self.win64, "bench", "bench_min_dialog.exe"))
        imports = self.session.windows_path(os.path.join(self.win64, "bench", "bench_min_dialog_imports.exe"))
        out = parse(self.session.run(driver, ["startup", str(STARTUP_RUNS), setup, SETUP_TITLE, baseline,
                                              BASELINE_TITLE, imports, BASELINE_TITLE], timeout=900))
        subject, base, with_imports = (float(out["median " + w][0]) for w in "abc")
        ratio = subject / base
        met = round(ratio, 2) <= TARGETS["startup"]
        self.figure(f"start-up to visible dialog: {subject:.3f} s vs minimal dialog {base:.3f} s = {ratio:.2f}x "
                    f"(target <= {TARGETS['startup']:.1f}x: {met_word(met)})", met)
        runs = {w: sorted(out["runs " + w]) for w in "abc"}
        self.note(f"median of {STARTUP_RUNS} starts each, taken in turn (x86_64 build, 64-bit Wine); "
                  f"setup.exe {fmt_range(runs['a'])}, minimal dialog {fmt_range(runs['b'])}")
        created = {w: statistics.median(out["createds " + w]) for w in "abc"}
        self.note(f"where the {1000 * (subject - base):.0f} ms go: the minimal dialog with setup.exe's DLL imports "
                  f"(shell32, ole32, gdi32) starts in {with_imports:.3f} s ({fmt_range(runs['c'])}), so loading "
                  f"those DLLs takes {1000 * (with_imports - base):.0f} ms; the dialog's window first exists "
                  f"(hidden) after {1000 * created['a']:.0f} ms in setup.exe vs {1000 * created['b']:.0f} ms in "
                  f"the minimal dialog, and is visible {1000 * (subject - created['a']):.0f} ms vs "
                  f"{1000 * (base - created['b']):.0f} ms later (making its controls and WM_INITDIALOG: the "
                  f"pictures, the agreement text, the font)")
        self.dialog_profile()

    def dialog_profile(self, runs=5):
        """Diagnostic: the dialog made part by part inside fresh processes."""
        profile = os.path.join(self.win64, "bench", "bench_dialog_profile.exe")
        found = {}
        for _ in range(runs):
            for mode in ("minimal", "controls", "full", "steps"):
                for key, values in parse(self.session.run(profile, [mode], timeout=120)).items():
                    found.setdefault((mode, key), []).append(float(values[0]))
        ms = {key: statistics.median(values) for key, values in found.items()}
        steps = sorted(((key[1][len("step-"):], value) for key, value in ms.items() if key[1].startswith("step-")),
                       key=lambda step: -step[1])
        self.note(f"inside one fresh process (median of {runs}): the minimal template's dialog is made in "
                  f"{ms[('minimal', 'create')]:.0f} ms, the setup template's controls in "
                  f"{ms[('controls', 'create')]:.0f} ms, and with SetupDialogProc in {ms[('full', 'create')]:.0f} ms; "
                  f"its WM_INITDIALOG calls one by one: "
                  + ", ".join(f"{name} {value:.1f} ms" for name, value in steps))

    def idle(self):
        driver = os.path.join(self.win64, "bench", "bench_startup.exe")
        setup = self.session.windows_path(os.path.join(self.win64, "setup.exe"))
        baseline = self.session.windows_path(os.path.join(self.win64, "bench", "bench_min_dialog.exe"))
        process = self.session.popen(driver, ["idle", setup, SETUP_TITLE, baseline, BASELINE_TITLE])
        try:
            lines = []
            while True:
                line = process.stdout.readline().decode(errors="replace")
                if not line:
                    raise RuntimeError("the driver ended early: " + "".join(lines))
                lines.append(line)
                if line.startswith("process-times-begin"):
                    break
            setup_pid = self.session.find_program("setup.exe")
            base_pid = self.session.find_program("bench_min_dialog.exe")
            server_pid = self.session.server.pid
            if not setup_pid or not base_pid:
                raise RuntimeError("cannot find the started programs' processes")
            begin = {p: cpu_seconds(p) for p in (setup_pid, base_pid, server_pid)}
            started = time.monotonic()
            time.sleep(IDLE_SECONDS)
            end = {p: cpu_seconds(p) for p in (setup_pid, base_pid, server_pid)}
            window = time.monotonic() - started
            process.stdin.write(b"stop\n")
            process.stdin.flush()
            rest = process.communicate(timeout=60)[0].decode(errors="replace")
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
        out = parse("".join(lines) + rest)
        used = {p: end[p] - begin[p] for p in begin}
        setup_cpu, base_cpu, server_cpu = used[setup_pid], used[base_pid], used[server_pid]
        ratio = f"{setup_cpu / base_cpu:.0f}x" if base_cpu > 0 else "baseline used none"
        self.figure(f"idle {window:.0f} s: setup.exe {setup_cpu:.2f} s processor time "
                    f"({100 * setup_cpu / window:.1f}% of one core) vs GetMessageA program {base_cpu:.2f} s "
                    f"= {ratio} (no target; reported)")
        begin_times = [float(x) for x in out["process-times-begin"][:2]]
        end_times = [float(x) for x in out["process-times-end"][:2]]
        self.note(f"wineserver used {server_cpu:.2f} s in the same {window:.0f} s, answering setup.exe's "
                  f"polls (the blocked baseline makes no calls); Wine's GetProcessTimes on the started "
                  f"processes gave {end_times[0] - begin_times[0]:.2f} s and {end_times[1] - begin_times[1]:.2f} s "
                  f"(Wine 8 answers with the calling process's own times), so the figures come from "
                  f"/proc/PID/stat of the Linux processes that run them")

    # --- extraction -----------------------------------------------------------
    def extract_times(self, name, probe=0):
        """Alternating timed runs in one process; returns the parsed output."""
        work = os.path.join(self.session.drive_c, "bench", name)
        shutil.rmtree(work, ignore_errors=True)
        os.makedirs(work)
        budget = EXTRACT_BUDGET.get(name, DEFAULT_EXTRACT_BUDGET)
        out = parse(self.session.run(self.set_exe(name), ["time", str(EXTRACT_RUNS[name]), "C:\\bench\\" + name,
                                                          str(budget)], timeout=7200))
        for who in ("subject", "baseline"):
            problem = compare_trees(self.tree(name), os.path.join(work, who))
            if problem:
                raise RuntimeError(f"{who} output differs from the input tree: {problem}")
        if probe:
            # Diagnostic: what each file system call costs beside that many files.
            folder = "C:\\bench\\" + name + "\\baseline\\"
            calls = parse(self.session.run(self.set_exe(name), ["probe", folder, str(probe)], timeout=3600))
            files = len(os.listdir(os.path.join(work, "baseline")))
            out["probe-note"] = (f"per call in a folder of {files} files (mean of {probe} new names): " + ", ".join(
                f"{key[len('probe '):]} {float(values[0]):.3f} ms" for key, values in calls.items()))
        shutil.rmtree(work, ignore_errors=True)
        return out

    def cp_reference(self, name):
        destination = os.path.join(self.session.drive_c, "bench", "cp_" + name)
        times = []
        for _ in range(CP_RUNS):
            shutil.rmtree(destination, ignore_errors=True)
            start = time.perf_counter()
            subprocess.run(["cp", "-r", self.tree(name), destination], check=True)
            times.append(time.perf_counter() - start)
        shutil.rmtree(destination, ignore_errors=True)
        return statistics.median(times)

    def extract_figure(self, name, label, target):
        out = self.extract_times(name, probe=200)
        subject, base = float(out["median subject"][0]), float(out["median baseline"][0])
        copy = self.cp_reference(name)
        ratio = subject / base
        self.figure(f"extract {label}: {seconds(subject)} vs WriteFile {seconds(base)} = {ratio:.2f}x "
                    f"(target <= {target:.2f}x: {met_word(ratio <= target)}); native cp -r {seconds(copy)} "
                    f"(reference: extract = {subject / copy:.1f}x cp)", ratio <= target)
        runs = {w: sorted(out["runs " + w]) for w in ("subject", "baseline")}
        self.note(f"{runs_said(out, name)} in one process, set prefaulted; "
                  f"ExtractPackedFiles {fmt_range(runs['subject'])}, WriteFile {fmt_range(runs['baseline'])}; "
                  f"output checked byte for byte against the input tree")
        self.note(out["probe-note"])
        return out

    def memory(self, name):
        """Median over fresh processes of (size of image, working set with the
        set resident, peak during the extraction, working set at start), for
        the subject and the baseline."""
        work = os.path.join(self.session.drive_c, "bench", "mem_" + name)
        samples = {"subject": [], "baseline": []}
        for run in range(MEMORY_RUNS):
            for who in (("subject", "baseline") if run % 2 == 0 else ("baseline", "subject")):
                shutil.rmtree(work, ignore_errors=True)
                os.makedirs(work)
                out = parse(self.session.run(self.set_exe(name), ["memory", who, r"C:\bench\mem_" + name],
                                             timeout=3600))
                samples[who].append({key: float(out[key][0]) for key in (
                    "size-of-image", "working-set-before", "peak-after", "working-set-at-start")})
        shutil.rmtree(work, ignore_errors=True)
        result = {}
        for who, runs in samples.items():
            result[who] = {key: statistics.median(r[key] for r in runs) for key in runs[0]}
            result[who]["added"] = statistics.median(r["peak-after"] - r["working-set-before"] for r in runs)
        return result

    def memory_figure(self, name, label):
        result = self.memory(name)
        subject, base = result["subject"], result["baseline"]
        added = subject["added"]
        met = added <= TARGETS["memory"]
        floor, floor_base = (r["peak-after"] - r["size-of-image"] for r in (subject, base))
        self.figure(f"memory {label}: peak working set - image {floor / MB:.1f} MB vs WriteFile "
                    f"{floor_base / MB:.1f} MB "
                    f"= {floor / floor_base:.2f}x; of that the extraction adds {added / MB:.2f} MB vs WriteFile "
                    f"{base['added'] / MB:.2f} MB (target <= {TARGETS['memory'] // MB} MB added: {met_word(met)})",
                    met)
        self.note(f"peak working set {subject['peak-after'] / MB:.1f} MB - image "
                  f"{subject['size-of-image'] / MB:.1f} MB "
                  f"= {floor / MB:.1f} MB is the process without its set: Wine's loader and libraries (Wine "
                  f"reports Linux's resident set, VmHWM), the same for every set size (see scale); 'adds' is "
                  f"the peak during the extraction minus the working set just before it, with the whole set "
                  f"resident; median of {MEMORY_RUNS} fresh processes each")
        self.note(f"the working set was already {subject['working-set-at-start'] / MB:.1f} MB when main() began: "
                  f"Wine reads an image section in whole at load when its file offset is not a multiple of the "
                  f"page size (FileAlignment 512, as in setup.exe), where Windows would page it in as read")
        return result

    def start_and_end(self, name, runs=5):
        """Median wall time of a process of that set's executable that does
        nothing: Wine's start plus the loading of the image with its set."""
        times = []
        for _ in range(runs):
            start = time.perf_counter()
            self.session.run(self.set_exe(name), ["noop"], timeout=600)
            times.append(time.perf_counter() - start)
        return statistics.median(times)

    def scale(self):
        rows = []
        for name, label, files, size in SETS[2:]:
            out = self.extract_times(name)
            subject, base = float(out["median subject"][0]), float(out["median baseline"][0])
            memory = self.memory(name)["subject"]
            empty_run = self.start_and_end(name)
            total = files * size
            rows.append((label, total, subject, empty_run))
            self.figure(f"scale {label} ({files} x 1 MB): extract {seconds(subject)} ({total / MB / subject:.0f} MB/s) "
                        f"vs WriteFile {seconds(base)} = {subject / base:.2f}x; peak working set "
                        f"{memory['peak-after'] / MB:.1f} MB - image {memory['size-of-image'] / MB:.1f} MB = "
                        f"{(memory['peak-after'] - memory['size-of-image']) / MB:.1f} MB, extraction adds "
                        f"{memory['added'] / MB:.2f} MB; a run that does nothing takes {1000 * empty_run:.0f} ms")
            self.note(f"{runs_said(out, name)}: ExtractPackedFiles "
                      f"{fmt_range(sorted(out['runs subject']))}, WriteFile {fmt_range(sorted(out['runs baseline']))}")
        first, last = rows[0], rows[-1]
        self.note("extraction time per MB: " + ", ".join(f"{label} {1000 * t / (total / MB):.2f} ms"
                                                         for label, total, t, _ in rows)
                  + " (all files in one folder, so the per-file cost grows with the files already written); the "
                  f"peak working set beyond the image stays flat (the set is read in place, never copied); the "
                  f"empty run grows from {1000 * first[3]:.0f} ms to {1000 * last[3]:.0f} ms because Wine reads "
                  f"the whole image in at start (Windows maps it and pages it in as it is read)")

    def win32_limit(self):
        head = pe_size.headers(os.path.join(self.win32, "setup.exe"))
        exe_bytes = os.path.getsize(os.path.join(self.win32, "setup.exe"))
        payload = sum(size for kind, ident, size in pe_size.resources(os.path.join(self.win32, "setup.exe"))
                      if kind == pe_size.PAYLOAD_TYPE and ident == str(pe_size.PAYLOAD_ID))
        rest = head["size_of_image"] - payload
        user_top = 0x80000000 if not head["large_address_aware"] else 0x100000000
        # 32-bit system DLLs are placed near the top of the 2 GB, from about
        # 0x70000000; heaps and stacks of the program and the DLLs it loads
        # need room as well, kept here as 256 MB.
        dll_floor = 0x70000000 if not head["large_address_aware"] else 0xF0000000
        reserve = 256 * MB
        largest = dll_floor - head["image_base"] - rest - reserve
        self.figure(f"scale win32 (reasoned, not run: 32-bit Wine cannot run on this machine): largest payload "
                    f"about {largest / (1 << 30):.1f} GB")
        self.note(f"build/win32/setup.exe is PE32, ImageBase {head['image_base']:#x}, "
                  f"{'' if head['large_address_aware'] else 'not '}large-address-aware: a "
                  f"{user_top // (1 << 30)} GB user address space; the image ({exe_bytes - payload} bytes "
                  f"besides the payload) must be mapped as one range, and the set is read in place from it, "
                  f"so the payload must fit between the image base and the system DLLs near 0x70000000, less "
                  f"about 256 MB for heaps, stacks and the DLLs the dialog loads. PE32's 32-bit SizeOfImage, "
                  f"resource offsets and sizes and the set's 32-bit record sizes would allow up to 4 GB; "
                  f"linking with --large-address-aware would let 64-bit Windows give it up to about 3.5 GB")

    # --- the run --------------------------------------------------------------
    def remove_large_data(self):
        for folder in ("trees", "sets", "bin"):
            shutil.rmtree(os.path.join(self.data, folder), ignore_errors=True)

    def run(self, only):
        started = time.monotonic()
        print(f"== make bench, {datetime.datetime.now().strftime('%Y-%m-%d %H:%M')}, "
              f"{os.cpu_count()} cores ==", flush=True)
        print("building the benchmark programs and generating the sets (about 900 MB under "
              f"{self.data})", flush=True)
        if "size" in only or "scale" in only:
            self.cmake_build(self.win32, "bench_size")
        self.cmake_build(self.win64, "bench_programs")
        if only & {"extract", "scale"}:
            self.cmake_build(self.win64, "bench_sets")
        os.sync()  # the sets' writeback must not run during the measurements

        if "size" in only:
            self.guard("size", self.size)
        self.session = WineSession(os.path.join(self.data, "wine"))
        try:
            self.session.start()
            if "startup" in only:
                self.guard("start-up", self.startup)
            if "idle" in only:
                self.guard("idle", self.idle)
            if "extract" in only:
                self.guard("extract 64x4MB", lambda: self.extract_figure("large_64x4mb", "64x4MB", TARGETS["large"]))
                self.guard("memory 64x4MB", lambda: self.memory_figure("large_64x4mb", "64x4MB"))
                self.guard("extract 20000x1KB", lambda: self.extract_figure("small_20000x1kb", "20000x1KB",
                                                                            TARGETS["small"]))
            if "scale" in only:
                self.guard("scale", self.scale)
        finally:
            left = self.session.stop()
            if left:
                print(f"processes still in the prefix after the session ended, killed: {left}")
            shutil.rmtree(self.session.prefix, ignore_errors=True)
            self.remove_large_data()
        if "scale" in only:
            self.guard("scale win32", self.win32_limit)

        print(f"\n== summary ({(time.monotonic() - started) / 60:.0f} min) ==")
        for line, met in self.figures:
            mark = {True: "met   ", False: "MISSED", None: "info  "}[met]
            print(f"{mark} {line.split(':')[0]}")
        for what in self.failures:
            print(f"FAILED {what}")
        judged = [met for _, met in self.figures if met is not None]
        print(f"{sum(judged)} of {len(judged)} targets met, {len(self.failures)} measurements failed; "
              f"x86_64 build under 64-bit Wine {os.popen('/usr/lib/wine/wine64 --version').read().strip()}, "
              f"sizes from the i686 build; the lines above say how each figure was taken")
        with open(os.path.join(self.data, "results.txt"), "w") as out:
            for line, _ in self.figures:
                out.write(line + "\n")
        return 1 if self.failures else 0

    def guard(self, what, measure):
        try:
            measure()
        except Exception as error:  # one failed figure must not stop the others
            self.failed(what, error)


def parse(text):
    """The "key value..." lines a benchmark program prints, as {key: [values]};
    "run WHO N SECONDS" lines are gathered under "runs WHO"."""
    found = {}
    for line in text.splitlines():
        words = line.split()
        if not words:
            continue
        if words[0] == "error":
            raise RuntimeError(line)
        if words[0] in ("run", "created"):
            found.setdefault(words[0] + "s " + words[1], []).append(float(words[3]))
        elif words[0] in ("median", "warm-up", "probe"):
            found[words[0] + " " + words[1]] = words[2:]
        else:
            found[words[0]] = words[1:]
    return found


def compare_trees(expected, actual):
    """None when actual holds exactly expected's files with the same bytes."""
    want = sorted(os.listdir(expected))
    have = sorted(os.listdir(actual)) if os.path.isdir(actual) else []
    if want != have:
        return f"{len(have)} files instead of {len(want)}"
    for name in want:
        with open(os.path.join(expected, name), "rb") as a, open(os.path.join(actual, name), "rb") as b:
            if a.read() != b.read():
                return f"{name} differs"
    return None


def runs_said(out, name):
    rounds, asked = int(out["rounds"][0]), EXTRACT_RUNS[name]
    said = f"median of {rounds} alternating runs each" if rounds > 1 else "one run each"
    if rounds < asked:
        budget = EXTRACT_BUDGET.get(name, DEFAULT_EXTRACT_BUDGET)
        said += f" (not {asked}: the first run showed they would take over {budget} s)"
    return said


def fmt_range(values):
    return f"{seconds(min(values))} to {seconds(max(values))}" if values else "-"


def seconds(value):
    """Three significant figures: milliseconds below a second."""
    return f"{value:.3f} s" if value >= 1 else f"{1000 * value:.3g} ms"


def met_word(met):
    return "met" if met else "MISSED"


def main():
    parser = argparse.ArgumentParser(description="Runs the benchmarks of the setup program.")
    parser.add_argument("build", help="the build folder (holds host, win32, win64)")
    parser.add_argument("--only", default="size,startup,idle,extract,scale",
                        help="comma-separated subset of size,startup,idle,extract,scale")
    args = parser.parse_args()
    only = set(args.only.split(","))
    return Bench(args.build).run(only)


if __name__ == "__main__":
    sys.exit(main())
