#!/usr/bin/env python3
"""What `strovane-cli update` adds to the updater's own run, whole processes, in one run.

A workspace holds an updater that exits at once; a project holds the three documents; a
pseudo-terminal stands in for the port. Alternately, RUNS times each:
  updater  the updater started directly with the arguments update gives it, until it has ended;
  update   strovane-cli update PROJECT --port <pty> --workspace WS, until it has ended.
Reports the medians of wall time and of CPU time (user + system, the process and its children)
and their differences; the budget is 5 ms of wall time. On a machine shared with other work the
wall times include waits for a processor, which the CPU times do not.
Usage: update_overhead.py STROVANE_CLI INSTANT_UPDATER [RUNS]
"""
import os
import statistics
import sys
import tempfile
import time

PARGEN = ("<Par_Gen><CANopen_ID>10</CANopen_ID><CANopen_Baud>7</CANopen_Baud><CANopen_Set_Ope>0</CANopen_Set_Ope>"
          "<CANopen_Set_Ope_Net>0</CANopen_Set_Ope_Net><CANopen_Delay>0</CANopen_Delay>"
          "<CANopen_SDO_TO>10000</CANopen_SDO_TO><Serial_Serial>0</Serial_Serial><Serial_Baud>7</Serial_Baud>"
          "<Serial_Par>0</Serial_Par></Par_Gen><!--SW_VERSION = 1.001-->")
RPDO = "<RPDO>" + "".join(f'<row COB-ID="0x{0x181 + i:x}" Dimension="8" Mnemonic="r{i}"/>' for i in range(10)) + "</RPDO>"
TPDO = "<TPDO>" + "".join(f'<row COB-ID="0x{0x201 + i:x}" Dimension="4" Mnemonic="t{i}"/>' for i in range(10)) + "</TPDO>"
BUDGET_MS = 5.0


def timed(argv):
    devnull = os.open(os.devnull, os.O_WRONLY)
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, dict(os.environ), file_actions=[
        (os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)])
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    os.close(devnull)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed with status {os.waitstatus_to_exitcode(status)}")
    # wait4 counts the process and the children it waited for (for update: the updater too).
    return elapsed * 1000.0, (usage.ru_utime + usage.ru_stime) * 1000.0


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    cli, updater = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    master, slave = os.openpty()
    port = os.ttyname(slave)[len("/dev/"):]
    with tempfile.TemporaryDirectory() as tmp:
        ws = os.path.join(tmp, "ws")
        project = os.path.join(tmp, "PROJECTS", "Line 1")
        os.makedirs(os.path.join(ws, "MASTER"))
        os.makedirs(os.path.join(project, "bin"))
        open(os.path.join(ws, "MASTER", "sim40518.sim"), "w").close()
        os.symlink(updater, os.path.join(ws, "Ser_40518_Update"))
        for name, text in (("ParGen.xml", PARGEN), ("RPDOs.xml", RPDO), ("TPDOs.xml", TPDO)):
            with open(os.path.join(project, name), "w") as f:
                f.write(text)
        direct = [os.path.join(ws, "Ser_40518_Update"), "/dev/" + port, "FW", "FR", "PW", "PR",
                  os.path.join(ws, "MASTER", "sim40518.sim"), project + "/bin/"]
        update = [cli, "update", project, "--port", port, "--workspace", ws]
        timed(direct), timed(update)  # warm the caches
        alone, whole = [], []
        for _ in range(runs):
            alone.append(timed(direct))
            whole.append(timed(update))
    os.close(master)
    os.close(slave)
    a, w = statistics.median(t for t, _ in alone), statistics.median(t for t, _ in whole)
    ac, wc = statistics.median(c for _, c in alone), statistics.median(c for _, c in whole)
    print(f"runs: {runs} each; load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} processors")
    print(f"updater alone:        wall median {a:7.3f} ms, CPU median {ac:6.3f} ms")
    print(f"strovane-cli update:  wall median {w:7.3f} ms, CPU median {wc:6.3f} ms (the updater's included)")
    print(f"added by update:      wall {w - a:7.3f} ms (budget {BUDGET_MS:.0f} ms): "
          f"{'within' if w - a <= BUDGET_MS else 'OVER'}; CPU {wc - ac:6.3f} ms")


if __name__ == "__main__":
    main()
