#!/usr/bin/python
# Commissions the Quillmor modules of a cell from a plan with ordvane-cli apply.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: ordvane_apply
short_description: Bring the Quillmor modules of a cell to a plan
description:
  - Runs C(ordvane-cli apply) on the managed host, the Linux host of one cell. It scans the
    cell, configures every planned module that is off its plan, rescans and checks each module
    against its plan. Modules already at their plan are not touched, so a second run changes
    nothing.
  - In check mode it runs C(ordvane-cli apply --dry-run) and reports what would change; with
    C(--diff) the settings' current and planned values are shown.
  - The task is C(changed) only when a module was configured, and C(failed), with every
    module's result, when a module refused the password, did not answer, or did not end at its
    plan, or a plan row had a problem (a module not found, an address twice).
  - Passwords go to C(ordvane-cli) on its standard input, never on a command line, and are
    never logged.
  - C(ordvane-cli) is found on the managed host's C(PATH).
version_added: 1.4.0
author:
  - Ordvane developers
options:
  plan:
    description:
      - The plan, one mapping per module, keyed by the plan file's column names in lower case.
      - C(mac) (required) as C(0A-51-4D-00-00-01) or C(0a:51:4d:00:00:01); C(ip), C(sn),
        C(gw), C(dns1), C(dns2) dotted IPv4 addresses; C(dhcp) C(On)/C(Off) or a boolean;
        C(hostname) letters and digits, an empty text clearing it.
      - A key that is missing or null keeps the module's value.
      - Give I(plan) or I(plan_file).
    type: list
    elements: dict
  plan_file:
    description:
      - Path on the managed host of a plan file (CSV with a C(MAC) column and any of C(IP),
        C(SN), C(GW), C(DHCP), C(DNS1), C(DNS2), C(Hostname)).
    type: path
  password:
    description:
      - The modules' current password; one serves every module, and a module without a
        password ignores it.
    type: str
  new_password:
    description:
      - A new password for every planned module.
    type: str
  plain_password:
    description:
      - Consent to send I(password) and I(new_password) in clear text to modules that ask for
        plain passwords (anyone on the cell's network can read them). Without it such a module
        is left C(not-sent). A module once seen asking for hashed passwords never gets a
        password in clear, whatever this says.
    type: bool
    default: false
  seconds:
    description:
      - How long to scan, and at most how long to rescan, 1 to 3600 seconds.
    type: int
    default: 3
  interfaces:
    description:
      - Network cards to broadcast the scan on, passed on as C(ZEVA_INTERFACES); C(none)
        broadcasts on no card.
    type: list
    elements: str
  targets:
    description:
      - Further addresses (C(address[:port])) to send the scan to, passed on as C(ZEVA_TARGETS).
    type: list
    elements: str
notes:
  - Supports check mode and diff mode.
  - Every module configured leaves a line in the change journal of the managed host's user;
    the task returns the lines of its run.
seealso:
  - module: ordvane.fleet.ordvane_scan
'''

EXAMPLES = r'''
- name: Commission cell 4
  ordvane.fleet.ordvane_apply:
    plan:
      - {mac: 0A-51-4D-00-00-01, ip: 10.0.4.11, sn: 255.255.255.0, hostname: press1}
      - {mac: 0A-51-4D-00-00-02, ip: 10.0.4.12, dhcp: false}
    password: "{{ vault_module_password }}"

- name: Apply the plan kept on the cell's host
  ordvane.fleet.ordvane_apply:
    plan_file: /etc/ordvane/cell4-plan.csv
    password: "{{ vault_module_password }}"
    new_password: "{{ vault_new_module_password }}"
'''

RETURN = r'''
results:
  description:
    - One mapping per plan row, as C(ordvane-cli apply --format json) prints them
      (see docs/cli.md), with C(mac), C(line), C(result), C(changes), C(problems), C(planned),
      C(before), C(after).
    - C(result) is one of C(unchanged), C(to-change) (check mode), C(not-sent), C(verified),
      C(refused-password), C(no-answer), C(not-as-planned).
  returned: always
  type: list
  elements: dict
journal:
  description: The change journal lines this run wrote on the managed host, one per module configured.
  returned: always
  type: list
  elements: dict
stderr_lines:
  description: What ordvane-cli said on standard error, such as the count per result.
  returned: always
  type: list
  elements: str
rc:
  description: The exit status of ordvane-cli apply.
  returned: always
  type: int
'''

import os
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.ordvane.fleet.plugins.module_utils.ordvane_cli import (
    COMMON_ARGUMENT_SPEC,
    parse_json_output,
    run_cli,
)

# The plan file's columns, in order, and the plan's keys for them.
PLAN_COLUMNS = (('mac', 'MAC'), ('ip', 'IP'), ('sn', 'SN'), ('gw', 'GW'), ('dhcp', 'DHCP'),
                ('dns1', 'DNS1'), ('dns2', 'DNS2'), ('hostname', 'Hostname'))
CONFIGURED = ('verified', 'not-as-planned')


def csv_cell(value):
    """A plan cell: empty (unquoted) keeps the module's value; any text is quoted, so an empty
    text clears a hostname."""
    if value is None:
        return ''
    if isinstance(value, bool):
        value = 'On' if value else 'Off'
    text = str(value)
    if '\n' in text or '\r' in text:
        raise ValueError('a plan value holds a line break: %r' % text)
    return '"%s"' % text.replace('"', '""')


def plan_csv(rows):
    keys = set(key for key, _ in PLAN_COLUMNS)
    lines = [','.join(heading for _, heading in PLAN_COLUMNS)]
    for number, row in enumerate(rows, start=1):
        unknown = sorted(set(row) - keys)
        if unknown:
            raise ValueError('plan row %d has unknown keys %s; known are %s'
                             % (number, ', '.join(unknown), ', '.join(k for k, _ in PLAN_COLUMNS)))
        if not row.get('mac'):
            raise ValueError('plan row %d has no mac' % number)
        lines.append(','.join(csv_cell(row.get(key)) for key, _ in PLAN_COLUMNS))
    return '\n'.join(lines) + '\n'


def diff_of(results):
    """Before and after of every setting that would change, one line per setting."""
    before = []
    after = []
    for item in results:
        if item.get('result') not in ('to-change',) + CONFIGURED:
            continue
        current = item.get('before') or {}
        planned = item.get('planned') or {}
        for setting in item.get('changes') or []:
            if setting == 'password':
                before.append('%s Password: (kept)' % item.get('mac'))
                after.append('%s Password: (changed)' % item.get('mac'))
                continue
            heading = dict(PLAN_COLUMNS).get(setting, setting)
            before.append('%s %s: %s' % (item.get('mac'), heading, current.get(setting)))
            after.append('%s %s: %s' % (item.get('mac'), heading, planned.get(setting)))
    return dict(before='\n'.join(before) + '\n' if before else '',
                after='\n'.join(after) + '\n' if after else '')


def main():
    argument_spec = dict(
        plan=dict(type='list', elements='dict'),
        plan_file=dict(type='path'),
        password=dict(type='str', no_log=True),
        new_password=dict(type='str', no_log=True),
        plain_password=dict(type='bool', default=False),
        seconds=dict(type='int', default=3),
    )
    argument_spec.update(COMMON_ARGUMENT_SPEC)
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True,
                           mutually_exclusive=[('plan', 'plan_file')],
                           required_one_of=[('plan', 'plan_file')])
    params = module.params
    if not 1 <= params['seconds'] <= 3600:
        module.fail_json(msg='seconds must be from 1 to 3600, not %d' % params['seconds'])
    for secret in ('password', 'new_password'):
        if params[secret] is not None and ('\n' in params[secret] or '\r' in params[secret]):
            module.fail_json(msg='%s must be one line' % secret)

    plan_path = params['plan_file']
    written = None
    if params['plan'] is not None:
        try:
            text = plan_csv(params['plan'])
        except ValueError as error:
            module.fail_json(msg=str(error))
        descriptor, written = tempfile.mkstemp(prefix='ordvane-plan-', suffix='.csv')
        with os.fdopen(descriptor, 'w') as plan_file:
            plan_file.write(text)
        plan_path = written

    arguments = ['apply', plan_path, '--seconds', str(params['seconds']), '--format', 'json']
    secrets = []
    if module.check_mode:
        arguments.append('--dry-run')
    else:
        if params['password'] is not None:
            arguments.append('--password-stdin')
            secrets.append(params['password'])
        if params['new_password'] is not None:
            arguments.append('--new-password-stdin')
            secrets.append(params['new_password'])
        if params['plain_password']:
            arguments.append('--plain-password')
    try:
        run = run_cli(module, arguments, ''.join(secret + '\n' for secret in secrets))
    finally:
        if written is not None:
            os.unlink(written)

    results = parse_json_output(module, run, 'apply').get('rows', [])
    configured = any(item.get('result') in CONFIGURED for item in results)
    would_change = any(item.get('result') == 'to-change' for item in results)
    outcome = dict(changed=configured or (module.check_mode and would_change),
                   results=results, journal=run.journal, stderr_lines=run.error_lines(),
                   rc=run.status, diff=diff_of(results))
    if run.status != 0:
        counts = {}
        for item in results:
            counts[item.get('result')] = counts.get(item.get('result'), 0) + 1
        summary = ', '.join('%d %s' % (counts[name], name) for name in sorted(counts))
        module.fail_json(msg='not every module is at its plan: %s' % summary, **outcome)
    module.exit_json(**outcome)


if __name__ == '__main__':
    main()
