#!/usr/bin/perl
# Prints what Palm::PDB sees in a database, one field a line: name, type,
# creator, attributes (flag names, sorted), ctime (Unix seconds), records,
# then "record <k> <size> <attributes> <id>" per record.
use strict;
use warnings;
use Palm::PDB;
use Palm::Raw;

my $pdb = Palm::PDB->new;
$pdb->Load(shift @ARGV // die "usage: pdb_dump.pl FILE\n");
sub flags { my ($h) = @_; return join(",", sort grep { $h->{$_} } keys %$h) || "-"; }
print "name $pdb->{name}\ntype $pdb->{type}\ncreator $pdb->{creator}\n";
print "attributes ", flags($pdb->{attributes}), "\nctime $pdb->{ctime}\n";
my @records = @{$pdb->{records}};
print "records ", scalar(@records), "\n";
printf "record %d %d %s %d\n", $_, length($records[$_]{data}), flags($records[$_]{attributes}), $records[$_]{id}
    for 0 .. $#records;
