#!/usr/bin/env python3
"""Writes a long random replay script to the standard output, the same for
the same seed: a joystick pushed to the thresholds' edges, buttons, menu
commands and file-dialog answers over about 7000 ticks, then the exit
command. tests/replay_long_traces.sh keeps the traces of seeds 1 to 3.

usage: scripts/long-replay-script.py SEED
"""
import random
import sys

if len(sys.argv) != 2 or not sys.argv[1].isdigit():
    sys.exit("usage: scripts/long-replay-script.py SEED (a whole number)")
seed = int(sys.argv[1])
pick = random.Random(seed)
buttons = pick.choice([4, 32])
print(f'joystick "Pad {seed}" buttons={buttons}')
# Both sides of each threshold, the ends and the centre.
axis = [0, 100, 149, 150, 32768, 63850, 63851, 65535]
masks = [0, 0, 0, 1, 2, 4, 3, 8] + ([0x80000000] if buttons == 32 else [])
centred = "x=32768 y=32768 buttons=0"
tick = 5
for _ in range(160):
    tick += pick.randint(1, 80)
    kind = pick.random()
    if kind < 0.6:
        fields = []
        if pick.random() < 0.7:
            fields.append(f"x={pick.choice(axis)}")
        if pick.random() < 0.7:
            fields.append(f"y={pick.choice(axis)}")
        if pick.random() < 0.5 or not fields:
            fields.append(f"buttons={pick.choice(masks)}")
        print(f"at {tick}: " + " ".join(fields))
    elif kind < 0.8 or kind >= 0.9:
        print(f"at {tick}: {centred}")
    else:
        menu = pick.choice(["mnuDef", "mnuAbout", "mnuLingua"])
        if menu == "mnuLingua":
            if pick.random() < 0.7:
                answer = pick.choice(["/x/Lang/Italiano.lng", "/x/Lang/English.lng"])
                print(f'at {tick}: dialog "{answer}"')
            else:
                print(f"at {tick}: dialog cancel")
        print(f"at {tick}: menu {menu}")
print(f"at {tick + 50}: menu mnuExit")
