#!/usr/bin/python
# Recovers one Quillmor module stuck in DHCP mode with ordvane-cli recover.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: ordvane_recover
short_description: Recover a Quillmor module stuck in DHCP mode, in one step
description:
  - Runs C(ordvane-cli recover) on the managed host, the Linux host of the module's cell. It
    serves DHCP for the named module only, on the card its request arrives by, until the
    module answers a scan at 10.200.1.N (N the last byte of its MAC); configures it to the
    given static values with DHCP off; scans until it answers at its new address; and stops
    serving DHCP in every case.
  - The task is C(changed) when the module was verified at its new address, and C(failed),
    with the exit status and every step's line, otherwise.
  - In check mode nothing runs and the task reports that it would recover the module
    (C(changed)), since a recovery cannot be tried without serving DHCP and configuring the
    module.
  - The server needs UDP port 67, so the task needs root or the C(ordvane) group on the
    managed host; use C(become) where the connecting user has neither.
  - For the module to renew its lease while the recovery lasts, the card facing it needs
    10.200.1.1/24 (C(ip addr add 10.200.1.1/24 brd + dev CARD)); without it the recovery
    usually completes before the first renewal anyway.
  - The password goes to C(ordvane-cli) on its standard input, never on a command line, and
    is never logged.
  - C(ordvane-cli) is found on the managed host's C(PATH).
version_added: 1.5.0
author:
  - Ordvane developers
options:
  mac:
    description:
      - The module to recover, as C(0A-51-4D-00-00-2A) or C(0a:51:4d:00:00:2a); it must carry
        the maker's prefix C(0A-51-4D).
    type: str
    required: true
  ip:
    description:
      - The static address to give the module, dotted IPv4.
    type: str
    required: true
  mask:
    description:
      - The subnet mask to give it; without it the module keeps the one it reported.
    type: str
  gateway:
    description:
      - The gateway to give it; without it the module keeps the one it reported.
    type: str
  dns1:
    description:
      - The first name server to give it; without it the module keeps its own.
    type: str
  dns2:
    description:
      - The second name server to give it; without it the module keeps its own.
    type: str
  hostname:
    description:
      - The host name to give it, letters and digits; without it the module keeps its own.
    type: str
  password:
    description:
      - The module's password, for a module that has one.
    type: str
  plain_password:
    description:
      - Consent to send I(password) in clear text to a module that asks for a plain password
        (anyone on the cell's network can read it).
    type: bool
    default: false
  seconds:
    description:
      - How long to wait for the module's DHCP request and each of its answers, 1 to 3600
        seconds.
    type: int
    default: 120
  interfaces:
    description:
      - Network cards to scan on, passed on as C(ZEVA_INTERFACES).
    type: list
    elements: str
  targets:
    description:
      - Further addresses (C(address[:port])) to send the scans to, passed on as
        C(ZEVA_TARGETS).
    type: list
    elements: str
notes:
  - Supports check mode, which runs nothing.
  - The configure sent leaves a line in the change journal of the managed host's user (command
    C(recover)); the task returns the lines of its run.
seealso:
  - module: ordvane.fleet.ordvane_scan
  - module: ordvane.fleet.ordvane_apply
'''

EXAMPLES = r'''
- name: Bring the press of cell 4 back to its static address
  become: true
  ordvane.fleet.ordvane_recover:
    mac: 0A-51-4D-00-00-2A
    ip: 10.0.4.11
    mask: 255.255.255.0
    gateway: 10.0.4.1
    password: "{{ vault_module_password }}"
    interfaces: [eth1]
    seconds: 300
'''

RETURN = r'''
outcome:
  description:
    - C(verified), C(refused-password), C(no-answer) (no DHCP request, or no answer, within
      I(seconds)), C(bad-arguments) or C(failed); C(would-recover) in check mode.
  returned: always
  type: str
stdout_lines:
  description: The steps ordvane-cli recover printed, one line each, and the DHCP replies it sent.
  returned: when it ran
  type: list
  elements: str
stderr_lines:
  description: What ordvane-cli said on standard error, such as warnings and the reason it failed.
  returned: when it ran
  type: list
  elements: str
journal:
  description: The change journal lines this run wrote on the managed host.
  returned: always
  type: list
  elements: dict
rc:
  description: The exit status of ordvane-cli recover.
  returned: when it ran
  type: int
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.ordvane.fleet.plugins.module_utils.ordvane_cli import (
    COMMON_ARGUMENT_SPEC,
    run_cli,
)

# The outcome for each exit status of ordvane-cli recover, and what to say when it is not 0.
OUTCOMES = {
    0: ('verified', None),
    1: ('failed', 'the recovery failed'),
    2: ('bad-arguments', 'ordvane-cli refused the arguments'),
    3: ('refused-password', 'the module refused the password'),
    4: ('no-answer', 'no DHCP request from the module, or no answer from it, within %d seconds'),
}

# The values given on the command line, by option.
VALUE_OPTIONS = ('ip', 'mask', 'gateway', 'dns1', 'dns2', 'hostname')


def main():
    argument_spec = dict(
        mac=dict(type='str', required=True),
        ip=dict(type='str', required=True),
        mask=dict(type='str'),
        gateway=dict(type='str'),
        dns1=dict(type='str'),
        dns2=dict(type='str'),
        hostname=dict(type='str'),
        password=dict(type='str', no_log=True),
        plain_password=dict(type='bool', default=False, no_log=False),
        seconds=dict(type='int', default=120),
    )
    argument_spec.update(COMMON_ARGUMENT_SPEC)
    module = AnsibleModule(argument_spec=argument_spec, supports_check_mode=True)
    params = module.params
    if not 1 <= params['seconds'] <= 3600:
        module.fail_json(msg='seconds must be from 1 to 3600, not %d' % params['seconds'])
    password = params['password']
    if password is not None and ('\n' in password or '\r' in password):
        module.fail_json(msg='password must be one line')
    for option in ('mac',) + VALUE_OPTIONS:
        value = params[option]
        if value is not None and (value.startswith('-') or '\n' in value or '\r' in value):
            module.fail_json(msg='%s must be one line not starting with "-": %r' % (option, value))

    if module.check_mode:
        module.exit_json(changed=True, outcome='would-recover', journal=[],
                         msg='would recover %s to %s' % (params['mac'], params['ip']))

    arguments = ['recover', params['mac']]
    for option in VALUE_OPTIONS:
        if params[option] is not None:
            arguments += ['--' + option, params[option]]
    arguments += ['--seconds', str(params['seconds'])]
    stdin_text = None
    if params['password'] is not None:
        arguments.append('--password-stdin')
        stdin_text = params['password'] + '\n'
    if params['plain_password']:
        arguments.append('--plain-password')
    run = run_cli(module, arguments, stdin_text)

    outcome, failure = OUTCOMES.get(run.status, ('failed', 'ordvane-cli recover ended with %d'))
    result = dict(outcome=outcome, rc=run.status, journal=run.journal,
                  stdout_lines=[line for line in run.output.splitlines() if line],
                  stderr_lines=run.error_lines())
    if failure is not None:
        if '%d' in failure:
            failure %= params['seconds'] if run.status == 4 else run.status
        details = ' '.join(run.error_lines())
        module.fail_json(msg='%s (exit status %d)%s' % (failure, run.status,
                                                          ': ' + details if details else ''),
                         changed=any(entry.get('result') == 'accepted' for entry in run.journal),
                         **result)
    module.exit_json(changed=True, msg='%s verified at %s' % (params['mac'], params['ip']),
                     **result)


if __name__ == '__main__':
    main()
