# Writes a benchmark's input tree (COUNT files of SIZE bytes, each with its
# own name and content) and packs it with the project's own packset.
#   make_set.py PACKSET TREE_DIR SET_FILE COUNT SIZE
import os
import random
import shutil
import subprocess
import sys

# One pool of pseudo-random bytes; each file is a slice of it at its own
# offset with its index stamped in front, so no two files are alike and the
# run gives the same bytes every time.
POOL_BYTES = 8 << 20


def file_name(index, count):
    width = max(5, len(str(count - 1)))
    return f"f{index:0{width}d}.dat"


def main():
    if len(sys.argv) != 6:
        sys.exit("usage: make_set.py PACKSET TREE_DIR SET_FILE COUNT SIZE")
    packset, tree, set_file = sys.argv[1:4]
    count, size = int(sys.argv[4]), int(sys.argv[5])

    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    pool = random.Random(20261211).randbytes(POOL_BYTES + size)
    names = []
    for index in range(count):
        name = file_name(index, count)
        start = (index * 7919 * 64) % POOL_BYTES
        stamp = f"{index:08d}".encode()
        data = (stamp + pool[start:start + size])[:size]
        with open(os.path.join(tree, name), "wb") as out:
            out.write(data)
        names.append(name)

    # Relative names from inside the tree: 20,000 of them stay far below the
    # system's limit on the length of one command line.
    os.makedirs(os.path.dirname(os.path.abspath(set_file)), exist_ok=True)
    subprocess.run([packset, "create", os.path.abspath(set_file)] + names, cwd=tree, check=True,
                   stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
