#!/usr/bin/env bash
# with_platform_roots.sh ROOTS PREFIX COMMAND [ARGS...]
#
# Runs COMMAND where Wine's certificate chain engine trusts exactly the CA certificates in the
# folder ROOTS: the chain engine reads the host's CA files under /etc/ssl/certs, so ROOTS is
# bind-mounted there inside a private mount namespace of COMMAND alone (the host and every
# other process keep their own /etc/ssl/certs). Wine copies those files into a prefix's
# registry the first time a program of the prefix needs them and keeps that copy, so COMMAND
# runs in the fresh prefix PREFIX, made inside the namespace. Needs root, as the test machines
# run. Sets QV_PLATFORM_ROOTS=1 for the tests that need this.
set -eu
roots=$1 prefix=$2
shift 2
[ -d "$roots" ] || { echo "with_platform_roots.sh: no folder $roots" >&2; exit 2; }
here=$(cd "$(dirname "$0")/../.." && pwd)
exec unshare --mount --propagation private bash -c '
  here=$1 roots=$2 prefix=$3; shift 3
  mount --bind "$roots" /etc/ssl/certs
  . "$here/scripts/lib/wine.sh"
  rm -rf "$prefix" "$prefix.lock"
  qv_wine_prefix "$prefix"
  rc=0
  QV_PLATFORM_ROOTS=1 "$@" || rc=$?
  qv_wine_stop
  exit $rc' bash "$here" "$roots" "$prefix" "$@"
