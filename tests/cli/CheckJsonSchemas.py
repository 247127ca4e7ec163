#!/usr/bin/env python3
"""Every JSON document ordvane-cli writes validates against its schema in docs/: scan, scan
--baseline and apply, run against an emulated fleet on loopback (one with unreported values, so
that null appears), and the scan document read back as a baseline.
Usage: CheckJsonSchemas.py CLI SIM SOURCE_DIR"""

import json
import os
import subprocess
import sys
import tempfile

import jsonschema

cli, sim, source_dir = sys.argv[1:4]


def schema(name):
    with open(os.path.join(source_dir, "docs", name), encoding="utf-8") as file:
        loaded = json.load(file)
    jsonschema.Draft202012Validator.check_schema(loaded)
    return jsonschema.Draft202012Validator(loaded)


def run(environment, *arguments, expected=(0,)):
    done = subprocess.run([cli, *arguments], env=environment, capture_output=True, text=True,
                          timeout=60, check=False)
    if done.returncode not in expected:
        sys.exit(f"FAULT: ordvane-cli {' '.join(arguments)}: exit {done.returncode}: {done.stderr}")
    return done.stdout


def check(validator, text, what):
    document = json.loads(text)
    errors = sorted(validator.iter_errors(document), key=str)
    if errors:
        sys.exit(f"FAULT: {what} does not follow its schema: {errors[0].message} at "
                 f"{list(errors[0].absolute_path)}")
    return document


with tempfile.TemporaryDirectory() as work:
    emulator = subprocess.Popen([sim, "--count", "60", "--seed", "5", "--port", "0",
                                 "--jitter-ms", "0"], stdout=subprocess.PIPE, text=True)
    try:
        ready = emulator.stdout.readline().split()
        port = next(word.split("=")[1] for word in ready if word.startswith("port="))
        environment = dict(os.environ, ZEVA_TARGETS=f"127.0.0.1:{port}", ZEVA_INTERFACES="none")

        scan = check(schema("scan.schema.json"),
                     run(environment, "scan", "--seconds", "1", "--format", "json"), "scan")
        modules = scan["modules"]
        if len(modules) != 60 or not any(None in module.values() for module in modules):
            sys.exit("FAULT: the scan lacks modules or a module with an unreported value")

        # One module gone and one changed since the baseline: appeared and changed entries.
        modules[1]["ip"] = "10.99.0.1"
        modules[2]["dhcp"] = None
        del modules[0]
        baseline = os.path.join(work, "baseline.json")
        with open(baseline, "w", encoding="utf-8") as file:
            json.dump(scan, file)
        changes = check(schema("scan-baseline.schema.json"),
                        run(environment, "scan", "--seconds", "1", "--baseline", baseline,
                            "--format", "json", expected=(5,)), "scan --baseline")
        if {change["change"] for change in changes["changes"]} != {"appeared", "changed"}:
            sys.exit(f"FAULT: unexpected baseline changes {changes}")

        plan = os.path.join(work, "plan.csv")
        with open(plan, "w", encoding="utf-8") as file:
            file.write(f"MAC,IP,DHCP\n{modules[3]['mac']},10.0.9.9,Off\n0A-51-4D-FF-FF-FF,,On\n")
        check(schema("apply.schema.json"),
              run(environment, "apply", plan, "--dry-run", "--seconds", "1", "--format", "json",
                  expected=(0, 1)), "apply")
    finally:
        emulator.terminate()
        emulator.wait(timeout=10)
print("scan, scan --baseline and apply follow their schemas")
