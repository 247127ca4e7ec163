# What the modules of ordvane.fleet share: running ordvane-cli on the managed host with the
# library's environment, and picking the change journal's lines that this run wrote.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
import pwd
import subprocess

# The arguments every module of the collection takes, besides its own.
COMMON_ARGUMENT_SPEC = dict(
    interfaces=dict(type='list', elements='str'),
    targets=dict(type='list', elements='str'),
)

# The journal's lines are at most this long; a longer one is not the CLI's and is skipped.
MAX_JOURNAL_LINE = 64 * 1024


def journal_path():
    """The change journal of this user, found as ordvane-cli finds it."""
    base = os.environ.get('XDG_STATE_HOME', '')
    if not base.startswith('/'):
        home = os.environ.get('HOME', '')
        if not home.startswith('/'):
            try:
                home = pwd.getpwuid(os.getuid()).pw_dir
            except KeyError:
                return None
        base = os.path.join(home, '.local', 'state')
    return os.path.join(base, 'ordvane', 'changes.jsonl')


def journal_size(path):
    try:
        return os.stat(path).st_size
    except OSError:
        return 0


def journal_lines_of(path, offset, process_id):
    """The journal entries written by process_id after offset (from the start when the file
    was replaced by a shorter one meanwhile)."""
    entries = []
    if path is None:
        return entries
    try:
        with open(path, 'rb') as journal:
            if journal_size(path) < offset:
                offset = 0
            journal.seek(offset)
            for raw in journal:
                if len(raw) > MAX_JOURNAL_LINE:
                    continue
                try:
                    entry = json.loads(raw.decode('utf-8', errors='replace'))
                except ValueError:
                    continue
                if isinstance(entry, dict) and entry.get('pid') == process_id:
                    entries.append(entry)
    except OSError:
        pass
    return entries


def cli_environment(module):
    """This process's environment with ZEVA_INTERFACES and ZEVA_TARGETS from the module's
    interfaces and targets (each a list, or one comma-separated text)."""
    environment = dict(os.environ)
    for option, variable in (('interfaces', 'ZEVA_INTERFACES'), ('targets', 'ZEVA_TARGETS')):
        values = module.params.get(option)
        if values is not None:
            environment[variable] = ','.join(value.strip() for value in values)
    return environment


class CliRun(object):
    """One finished run of ordvane-cli: exit status, output, errors, its journal entries."""

    def __init__(self, status, output, errors, journal):
        self.status = status
        self.output = output
        self.errors = errors
        self.journal = journal

    def error_lines(self):
        return [line for line in self.errors.splitlines() if line]


def start_cli(module, arguments, stdin_text=None):
    """Starts ordvane-cli (found on PATH) with the arguments; the returned handle's finish()
    waits for it. Secrets go on standard input only, never on the command line."""
    program = module.get_bin_path('ordvane-cli', required=True)
    path = journal_path()
    offset = journal_size(path) if path else 0
    process = subprocess.Popen(
        [program] + list(arguments),
        stdin=subprocess.PIPE,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        env=cli_environment(module),
    )

    def finish():
        data = stdin_text.encode('utf-8') if stdin_text is not None else b''
        output, errors = process.communicate(data)
        return CliRun(
            process.returncode,
            output.decode('utf-8', errors='replace'),
            errors.decode('utf-8', errors='replace'),
            journal_lines_of(path, offset, process.pid),
        )

    return finish


def run_cli(module, arguments, stdin_text=None):
    return start_cli(module, arguments, stdin_text)()


def parse_json_output(module, run, what):
    """The JSON that the run printed; fails the task with the run's errors otherwise."""
    try:
        return json.loads(run.output)
    except ValueError:
        module.fail_json(
            msg='ordvane-cli %s printed no JSON (exit status %d): %s'
            % (what, run.status, ' '.join(run.error_lines())),
            rc=run.status,
            stderr_lines=run.error_lines(),
        )
