#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Quarvo's mail exports read back by real mail readers: Python's mailbox and
# email (policy.default) read every mbox and Maildir, and each message's
# Message-ID, Date, Subject and body hash must equal those of its .mbs input
# (read here on its own, not through Quarvo); notmuch indexes every Maildir
# message; mutt opens every mbox with its message count and no complaint.
#
# usage: check_mail_readers.py python|notmuch|mutt QUARVO-CONVERT MAILFOLDER...
# Exit 77 when the reader is not installed (notmuch and mutt are Debian's;
# checked with notmuch 0.37 and mutt 2.2.12).
import email
import email.policy
import email.utils
import hashlib
import mailbox
import os
import re
import shutil
import subprocess
import sys
import tempfile

SEPARATOR = re.compile(rb'^From \S* +\w{3} \w{3} +\d+ \d\d:\d\d:\d\d \d{4}')
MODES = {  # name: quarvo-convert options
    'mbox': [], 'mbox-lf': ['--lf'], 'maildir': ['--maildir'], 'maildir-lf': ['--maildir', '--lf']}


def split_several(data):
    """The messages of an older .mbs file: each after a From line that
    follows an empty line; the empty line before it is the mbox's."""
    messages, current, previous_empty = [], None, True
    for line in data.splitlines(keepends=True):
        if previous_empty and SEPARATOR.match(line):
            if current is not None:
                messages.append(current)
            current, previous_empty = b'', False
            continue
        if current is None:
            current = b''
        current += line
        previous_empty = line in (b'\n', b'\r\n')
    if current is not None:
        messages.append(current)
    trimmed = []
    for message in messages:
        for end in (b'\r\n', b'\n'):  # the empty line that preceded the next From line
            if message.endswith(end + end) or message == end:
                message = message[:-len(end)]
                break
        if message.strip():
            trimmed.append(message)
    return trimmed


def store_messages(mail_folder):
    """Every message of the store, as bytes, and how many mailboxes hold them."""
    store = os.path.join(mail_folder, 'store')
    messages, folders = [], set()
    for root, _, files in os.walk(store):
        for name in files:
            if not name.lower().endswith('.mbs'):
                continue
            data = open(os.path.join(root, name), 'rb').read()
            if re.fullmatch(r'\d+\.mbs', name, re.IGNORECASE):
                found = [data.split(b'\n', 1)[1] if data.startswith(b'From ') else data]
            else:
                found = split_several(data)
            relative = os.path.relpath(root, store)
            folders.add('' if relative == '.' else relative.split(os.sep)[0])
            messages += [m for m in found if m]
    return messages, len(folders)


def fingerprint(message, lf):
    """Message-ID, Date, Subject and the hash of the body, line ends at the
    end of the message aside (an mbox cannot keep a missing one)."""
    if lf:
        message = message.replace(b'\r\n', b'\n')
    parsed = email.message_from_bytes(message, policy=email.policy.default)
    head_end = re.search(rb'\r?\n\r?\n', message)
    body = message[head_end.end():] if head_end else b''
    return (str(parsed['Message-ID']), str(parsed['Date']), str(parsed['Subject']),
            hashlib.sha256(body.rstrip(b'\r\n')).hexdigest())


def export(tool, mail_folder, out, mode):
    subprocess.run([tool, '--mail', mail_folder, out] + MODES[mode], check=True,
                   stdout=subprocess.DEVNULL)


def unquoted(message):
    """mboxrd read back: one '>' less before a From line."""
    return re.sub(rb'(?m)^>(>*From )', rb'\1', message)


def check_python(tool, mail_folder, work):
    expected, folders = store_messages(mail_folder)
    problems = []
    for mode in MODES:
        out = os.path.join(work, mode)
        export(tool, mail_folder, out, mode)
        lf = mode.endswith('-lf')
        inputs = {}  # fingerprint: the messages' bytes as the Maildir must hold them
        for m in expected:
            inputs.setdefault(fingerprint(m, lf), []).append(m.replace(b'\r\n', b'\n') if lf else m)
        read, boxes = [], 0
        for name in sorted(os.listdir(out)):
            path = os.path.join(out, name)
            if name.endswith('.mbox'):
                box = mailbox.mbox(path, create=False)
                read += [unquoted(box.get_bytes(key)) for key in box.keys()]
                dates = [email.utils.parsedate_to_datetime(m['Date']) for m in box if m['Date']]
                if any(a > b for a, b in zip(dates, dates[1:])):
                    problems.append(f'{mode}: {name} is not in date order')
                boxes += 1
            elif os.path.isdir(path):
                box = mailbox.Maildir(path, factory=None, create=False)
                for key in box.keys():
                    data = box.get_bytes(key)
                    read.append(data)
                    if data not in inputs.get(fingerprint(data, False), []):
                        problems.append(f'{mode}: {name}/{key} is not its input byte for byte')
                boxes += 1
        if boxes != folders:
            problems.append(f'{mode}: {boxes} mailboxes for {folders} store folders')
        want = sorted(fingerprint(m, lf) for m in expected)
        got = sorted(fingerprint(m, False) for m in read)
        if want != got:
            problems.append(f'{mode}: messages differ: {len(got)} read, {len(want)} in the store; '
                            f'missing {set(want) - set(got)}, extra {set(got) - set(want)}')
    return problems, len(expected)


def check_notmuch(tool, mail_folder, work):
    expected, _ = store_messages(mail_folder)
    # notmuch takes a file without From, To and Subject for no mail (Opera's
    # drafts may have none): those it is told to leave out.
    expected = [m for m in expected
                if any(email.message_from_bytes(m)[h] for h in ('From', 'To', 'Subject'))]
    problems = []
    for mode in ('maildir', 'maildir-lf'):
        out = os.path.join(work, mode)
        export(tool, mail_folder, out, mode)
        config = os.path.join(work, mode + '.notmuch-config')
        with open(config, 'w') as f:
            f.write(f'[database]\npath={out}\n[new]\ntags=\n[maildir]\nsynchronize_flags=false\n')
        env = dict(os.environ, NOTMUCH_CONFIG=config, HOME=work)
        subprocess.run(['notmuch', 'new', '--quiet'], env=env, check=True, timeout=120,
                       stderr=subprocess.DEVNULL)
        files = subprocess.run(['notmuch', 'count', '--output=files', '*'], env=env, check=True,
                               capture_output=True, text=True, timeout=60).stdout.strip()
        if files != str(len(expected)):
            problems.append(f'{mode}: notmuch indexed {files} files of {len(expected)} messages')
    return problems, len(expected)


def check_mutt(tool, mail_folder, work):
    problems, total = [], 0  # messages of one of the two modes
    muttrc = os.path.join(work, 'muttrc')
    with open(muttrc, 'w') as f:
        f.write(f'set folder={work}\nset mbox_type=mbox\nset status_format="STATUS msgs=%m"\n'
                'set quit=yes\nset move=no\nset mark_old=no\n')
    for mode in ('mbox', 'mbox-lf'):
        out = os.path.join(work, mode)
        export(tool, mail_folder, out, mode)
        for name in sorted(n for n in os.listdir(out) if n.endswith('.mbox')):
            path = os.path.join(out, name)
            count = len(mailbox.mbox(path, create=False))
            total += count if mode == 'mbox' else 0
            screen = os.path.join(work, 'screen')
            command = f"mutt -n -F '{muttrc}' -R -f '{path}' -e 'push <quit>'"
            subprocess.run(['script', '-qec', command, screen], env=dict(os.environ, TERM='vt100',
                           HOME=work), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           timeout=60, check=True)
            shown = open(screen, 'rb').read()
            if f'STATUS msgs={count}'.encode() not in shown:
                problems.append(f'{mode}: mutt did not show {count} messages in {name}')
            if re.search(rb'(?i)corrupt|error', shown):
                problems.append(f'{mode}: mutt complained about {name}')
    return problems, total


def main():
    reader, tool, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    if reader != 'python' and shutil.which(reader) is None:
        print(f'{reader} is not installed: skipped')
        return 77
    if reader == 'mutt' and shutil.which('script') is None:
        print('script (util-linux) is not installed: skipped')
        return 77
    check = {'python': check_python, 'notmuch': check_notmuch, 'mutt': check_mutt}[reader]
    failed = False
    for folder in folders:
        if not os.path.isdir(folder):
            print(f'{folder}: absent, skipped')
            continue
        with tempfile.TemporaryDirectory() as work:
            problems, count = check(tool, folder, work)
        for problem in problems:
            print(f'FAIL: {folder}: {problem}')
        failed = failed or bool(problems)
        print(f'{folder}: {reader} read {count} messages' + (' with problems' if problems else ''))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
