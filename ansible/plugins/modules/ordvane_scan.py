#!/usr/bin/python
# Scans the managed host's segment for Quillmor modules with ordvane-cli.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: ordvane_scan
short_description: List the Quillmor modules of a cell's segment
description:
  - Runs C(ordvane-cli scan --format json) on the managed host, the Linux host of one cell, and
    returns every module that answered, as the list the command prints.
  - With I(baseline), the modules are also compared with an earlier scan kept on the managed
    host; the task then reports C(changed) when modules appeared, disappeared or changed, and
    returns the differences.
  - C(ordvane-cli) is found on the managed host's C(PATH).
  - The scan changes nothing, so check mode runs it as well.
version_added: 1.4.0
author:
  - Ordvane developers
options:
  seconds:
    description:
      - How long to scan, 1 to 3600 seconds.
    type: int
    default: 3
  baseline:
    description:
      - Path on the managed host of an earlier C(ordvane-cli scan --format json) output.
      - The host is then scanned twice at the same time, once for I(baseline) and once for the
        module list.
    type: path
  interfaces:
    description:
      - Network cards to broadcast the scan on, passed on as C(ZEVA_INTERFACES); C(none)
        broadcasts on no card.
      - Without it every card that is up and can broadcast is used.
    type: list
    elements: str
  targets:
    description:
      - Further addresses (C(address[:port])) to send the scan to, passed on as C(ZEVA_TARGETS), such as
        a module on a routed subnet or a subnet's broadcast address.
    type: list
    elements: str
notes:
  - Supports check mode.
  - Network cards and addresses are those of the managed host, not of the controller.
seealso:
  - module: ordvane.fleet.ordvane_apply
'''

EXAMPLES = r'''
- name: List the modules of each cell
  ordvane.fleet.ordvane_scan:
    seconds: 5
    interfaces: [enp2s0]
  register: cell

- name: Report what changed since commissioning
  ordvane.fleet.ordvane_scan:
    baseline: /var/lib/ordvane/commissioned.json
  register: drift
'''

RETURN = r'''
modules:
  description:
    - The modules that answered, one mapping each, exactly as C(ordvane-cli scan --format json)
      prints them (docs/cli.md describes the fields).
  returned: always
  type: list
  elements: dict
differences:
  description:
    - With I(baseline), the modules that appeared, disappeared or changed, as
      C(ordvane-cli scan --baseline) prints them in JSON
      (C(mac), C(change), C(fields) with C(field), C(before), C(after)).
  returned: when baseline is given
  type: list
  elements: dict
journal:
  description: The change journal lines this run wrote on the managed host (a scan writes none).
  returned: always
  type: list
  elements: dict
stderr_lines:
  description: What ordvane-cli said on standard error, such as the cards it scanned on and warnings.
  returned: always
  type: list
  elements: str
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.ordvane.fleet.plugins.module_utils.ordvane_cli import (
    COMMON_ARGUMENT_SPEC,
    parse_json_output,
    start_cli,
)

# ordvane-cli scan --baseline exits with 5 when the modules changed since the baseline.
EXIT_CHANGED = 5


def main():
    argument_spec = dict(
        seconds=dict(type='int', default=3),
        baseline=dict(type='path'),
    )
    argument_spec.update(COMMON_ARGUMENT_SPEC)
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True)
    seconds = module.params['seconds']
    if not 1 <= seconds <= 3600:
        module.fail_json(msg='seconds must be from 1 to 3600, not %d' % seconds)

    scan = ['scan', '--seconds', str(seconds), '--format', 'json']
    finish_scan = start_cli(module, scan)
    finish_compare = None
    if module.params['baseline'] is not None:
        finish_compare = start_cli(module, scan + ['--baseline', module.params['baseline']])

    run = finish_scan()
    if run.status != 0:
        module.fail_json(msg='ordvane-cli scan failed: %s' % ' '.join(run.error_lines()),
                         rc=run.status, stderr_lines=run.error_lines())
    result = dict(changed=False, modules=parse_json_output(module, run, 'scan').get('modules', []),
                  journal=run.journal, stderr_lines=run.error_lines())

    if finish_compare is not None:
        compared = finish_compare()
        if compared.status not in (0, EXIT_CHANGED):
            module.fail_json(msg='ordvane-cli scan --baseline failed: %s'
                             % ' '.join(compared.error_lines()),
                             rc=compared.status, stderr_lines=compared.error_lines())
        result['differences'] = parse_json_output(module, compared,
                                                  'scan --baseline').get('changes', [])
        result['changed'] = compared.status == EXIT_CHANGED
        result['journal'] += compared.journal
    module.exit_json(**result)


if __name__ == '__main__':
    main()
